// CLIP and ENVL chunks of LWO2 files.

#include "models/lwo_chunk_readers.h"
#include "models/lwo_sub_chunks.h"

namespace pirn {

namespace {

void ReadModifier(LwoByteReader& sub, LwoParameter& parameter) {
    parameter.value = sub.F4();
    parameter.envelope = sub.VX();
}

void ReadPlugin(LwoByteReader& sub, std::vector<LwoPlugin>& list) {
    LwoPlugin plugin;
    plugin.name = sub.S0();
    plugin.flags = sub.U2();
    sub.Bytes(plugin.data, sub.remaining());
    if (!sub.failed()) list.push_back(std::move(plugin));
}

void ReadImageSequence(LwoByteReader& sub, LwoClip& clip) {
    clip.type = kLwoClipSequence;
    clip.digits = sub.U1();
    clip.sequence_flags = sub.U1();
    clip.offset = sub.I2();
    clip.reserved = sub.U2();
    clip.start = sub.I2();
    clip.end = sub.I2();
    clip.file_name = sub.S0();
    clip.suffix = sub.S0();
}

void ReadAnimation(LwoByteReader& sub, LwoClip& clip) {
    clip.type = kLwoClipAnimation;
    clip.file_name = sub.S0();
    clip.server = sub.S0();
    clip.animation_flags = sub.U2();
    sub.Bytes(clip.animation_data, sub.remaining());
}

void ReadClipPart(u32 id, LwoByteReader& sub, LwoClip& clip) {
    switch (id) {
        case LwoId("STIL"):
            clip.type = kLwoClipStill;
            clip.file_name = sub.S0();
            break;
        case LwoId("ISEQ"): ReadImageSequence(sub, clip); break;
        case LwoId("ANIM"): ReadAnimation(sub, clip); break;
        case LwoId("XREF"):
            clip.type = kLwoClipReference;
            clip.reference = sub.U4();
            clip.reference_name = sub.S0();
            break;
        case LwoId("STCC"):
            clip.type = kLwoClipColourCycle;
            clip.cycle_low = sub.I2();
            clip.cycle_high = sub.I2();
            clip.file_name = sub.S0();
            break;
        case LwoId("TIME"):
            clip.start_time = sub.F4();
            clip.duration = sub.F4();
            clip.frame_rate = sub.F4();
            break;
        case LwoId("CONT"): ReadModifier(sub, clip.contrast); break;
        case LwoId("BRIT"): ReadModifier(sub, clip.brightness); break;
        case LwoId("SATR"): ReadModifier(sub, clip.saturation); break;
        case LwoId("HUE "): ReadModifier(sub, clip.hue); break;
        case LwoId("GAMM"): ReadModifier(sub, clip.gamma); break;
        case LwoId("NEGA"): clip.negative = sub.U2(); break;
        case LwoId("IFLT"): ReadPlugin(sub, clip.image_filters); break;
        case LwoId("PFLT"): ReadPlugin(sub, clip.pixel_filters); break;
        default: break;
    }
}

// A SPAN describes the interpolation of the key read just before it.
void ReadSpan(LwoByteReader& sub, LwoEnvelope& envelope) {
    const u32 shape = sub.ID4();
    float parameters[4] = {0, 0, 0, 0};
    int count = 0;
    while (count < 4 && sub.remaining() >= 4) parameters[count++] = sub.F4();
    if (sub.failed() || envelope.keys.empty()) return;
    LwoEnvelopeKey& key = envelope.keys.back();
    key.shape = shape;
    if (shape == kLwoShapeTcb) {
        key.tension = parameters[0];
        key.continuity = parameters[1];
        key.bias = parameters[2];
    } else {
        for (int i = 0; i < 4; ++i) key.parameters[i] = parameters[i];
    }
}

void ReadEnvelopePart(u32 id, LwoByteReader& sub, LwoEnvelope& envelope) {
    switch (id) {
        case LwoId("TYPE"): envelope.type = sub.U2(); break;
        case LwoId("PRE "): envelope.pre_behaviour = sub.U2(); break;
        case LwoId("POST"): envelope.post_behaviour = sub.U2(); break;
        case LwoId("KEY "): {
            LwoEnvelopeKey key;
            key.time = sub.F4();
            key.value = sub.F4();
            if (!sub.failed()) envelope.keys.push_back(key);
            break;
        }
        case LwoId("SPAN"): ReadSpan(sub, envelope); break;
        case LwoId("CHAN"): ReadPlugin(sub, envelope.channel_filters); break;
        case LwoId("NAME"): envelope.name = sub.S0(); break;
        default: break;
    }
}

}  // namespace

bool LwoReadClipChunk(LwoByteReader& chunk, LwoObject* object) {
    LwoClip clip;
    clip.index = chunk.U4();
    ForEachLwoSubChunk(chunk, [&](u32 id, LwoByteReader& sub) { ReadClipPart(id, sub, clip); });
    if (chunk.failed()) return false;
    object->clips.push_back(std::move(clip));
    return true;
}

bool LwoReadEnvelopeChunk(LwoByteReader& chunk, LwoObject* object) {
    LwoEnvelope envelope;
    envelope.index = chunk.VX();
    ForEachLwoSubChunk(chunk, [&](u32 id, LwoByteReader& sub) { ReadEnvelopePart(id, sub, envelope); });
    if (chunk.failed()) return false;
    object->envelopes.push_back(std::move(envelope));
    return true;
}

}  // namespace pirn
