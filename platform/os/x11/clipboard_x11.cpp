#include "platform/os/x11/clipboard_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/os_hooks.h"

namespace pirn {
namespace x11_clipboard {
namespace {

using Bytes = std::shared_ptr<const std::vector<u8>>;

constexpr std::size_t kLargestChunk = 256 * 1024;
constexpr std::size_t kLargestPaste = std::size_t(256) << 20;
constexpr int kAnswerWaitMs = 3000;  // per step of a transfer

// Errors on this connection (a requestor window that vanished mid-transfer)
// must not end the program, which Xlib's default handler would do.
Display* g_trapped_display = nullptr;
int (*g_previous_handler)(Display*, XErrorEvent*) = nullptr;

int TrapErrors(Display* display, XErrorEvent* error) {
    if (display == g_trapped_display) return 0;
    return g_previous_handler ? g_previous_handler(display, error) : 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display) {
        g_trapped_display = display;
        g_previous_handler = XSetErrorHandler(TrapErrors);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(g_previous_handler);
        g_trapped_display = nullptr;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* display_;
};

// 64 bits: a 32-bit long of milliseconds overflows after 24.8 days of
// uptime, and the wait deadlines with it.
i64 NowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return i64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// One picture sent in chunks (the INCR protocol) because it is larger than
// one property change may be.
struct Transfer {
    Window requestor = None;
    Atom property = None;
    Atom type = None;
    Bytes data;
    std::size_t offset = 0;
};

class SelectionOwner {
public:
    bool Open();
    void Close();
    bool SetImage(const u8* rgb, u32 width, u32 height);
    bool GetImage(ClipboardImage* image);
    bool Owns();
    unsigned long Owner();
    bool OffersText();
    void Service();

private:
    void Handle(const XEvent& event);
    void Serve(const XSelectionRequestEvent& request);
    void SendNextChunk(Transfer& transfer);
    Bytes Encoded(bool png);
    // Waits for an event the predicate accepts, handling every other one.
    bool WaitFor(const std::function<bool(const XEvent&)>& wanted, XEvent* event);
    bool ReadProperty(std::vector<u8>* bytes, Atom* type);
    // timed_out (may be null) tells an owner that did not answer apart from
    // one that refused.
    bool Convert(Atom target, std::vector<u8>* bytes, Atom* type, bool* timed_out = nullptr);

    Display* display_ = nullptr;
    Window window_ = None;
    Atom clipboard_ = None, targets_ = None, incr_ = None, png_ = None, bmp_ = None;
    Atom x_bmp_ = None, x_ms_bmp_ = None, property_ = None;
    std::size_t chunk_ = kLargestChunk;
    bool owning_ = false;
    ClipboardImage image_;
    Bytes png_bytes_, bmp_bytes_;
    std::vector<Transfer> transfers_;
};

SelectionOwner g_owner;

void ServiceHook(void*) { g_owner.Service(); }
void CloseHook(void*) { g_owner.Close(); }

bool SelectionOwner::Open() {
    if (display_ != nullptr) return true;
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return false;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    incr_ = XInternAtom(display_, "INCR", False);
    png_ = XInternAtom(display_, kClipboardPngType, False);
    bmp_ = XInternAtom(display_, kClipboardBmpType, False);
    x_bmp_ = XInternAtom(display_, "image/x-bmp", False);
    x_ms_bmp_ = XInternAtom(display_, "image/x-MS-bmp", False);
    property_ = XInternAtom(display_, "PIRN_CLIPBOARD", False);
    long max_request = XExtendedMaxRequestSize(display_);
    if (max_request == 0) max_request = XMaxRequestSize(display_);
    // In 4-byte units, less room for the request's own header.
    const std::size_t request_bytes = std::size_t(max_request) * 4;
    chunk_ = std::min(kLargestChunk, request_bytes > 1024 ? request_bytes - 1024 : std::size_t(4096));
    OsAddPollHook(ServiceHook, nullptr);
    // Another program's paste must not wait for this one to wake.
    OsAddWaitDescriptor(ConnectionNumber(display_));
    OsAddTerminateHook(CloseHook, nullptr);
    return true;
}

void SelectionOwner::Close() {
    if (display_ == nullptr) return;
    OsRemovePollHook(ServiceHook, nullptr);
    OsRemoveWaitDescriptor(ConnectionNumber(display_));
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
    display_ = nullptr;
    window_ = None;
    owning_ = false;
    image_ = ClipboardImage();
    png_bytes_.reset();
    bmp_bytes_.reset();
    transfers_.clear();
}

bool SelectionOwner::SetImage(const u8* rgb, u32 width, u32 height) {
    ClipboardImage copy;
    u64 size = u64(width) * height * 3;
    if (rgb == nullptr || width == 0 || height == 0 || size > kLargestPaste) return false;
    copy.width = width;
    copy.height = height;
    copy.rgb.assign(rgb, rgb + size);
    if (!Open()) return false;
    ErrorTrap trap(display_);
    image_ = std::move(copy);
    png_bytes_.reset();
    bmp_bytes_.reset();
    XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
    owning_ = XGetSelectionOwner(display_, clipboard_) == window_;
    if (!owning_) image_ = ClipboardImage();
    return owning_;
}

bool SelectionOwner::Owns() {
    if (display_ == nullptr || !owning_) return false;
    owning_ = XGetSelectionOwner(display_, clipboard_) == window_;
    return owning_;
}

void SelectionOwner::Service() {
    if (display_ == nullptr) return;
    ErrorTrap trap(display_);
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event);
    }
}

void SelectionOwner::Handle(const XEvent& event) {
    switch (event.type) {
    case SelectionClear:
        if (event.xselectionclear.selection == clipboard_) {
            // Another program (or the text clipboard) took it over.
            owning_ = false;
            image_ = ClipboardImage();
            png_bytes_.reset();
            bmp_bytes_.reset();
        }
        break;
    case SelectionRequest:
        Serve(event.xselectionrequest);
        break;
    case PropertyNotify:
        if (event.xproperty.state == PropertyDelete) {
            for (std::size_t i = 0; i < transfers_.size(); ++i) {
                if (transfers_[i].requestor == event.xproperty.window &&
                    transfers_[i].property == event.xproperty.atom) {
                    SendNextChunk(transfers_[i]);
                    break;
                }
            }
        }
        break;
    default:
        break;
    }
}

Bytes SelectionOwner::Encoded(bool png) {
    Bytes& cached = png ? png_bytes_ : bmp_bytes_;
    if (!cached) {
        auto bytes = std::make_shared<std::vector<u8>>();
        if (!EncodeClipboardImage(png ? kClipboardPngType : kClipboardBmpType, image_.rgb.data(), image_.width,
                                  image_.height, bytes.get())) {
            return nullptr;
        }
        cached = bytes;
    }
    return cached;
}

void SelectionOwner::Serve(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = request.display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    // Clients older than the conventions name no property: use the target.
    const Atom property = request.property == None ? request.target : request.property;

    if (owning_ && request.selection == clipboard_ && request.owner == window_) {
        if (request.target == targets_) {
            const Atom offered[] = {targets_, png_, bmp_, x_bmp_, x_ms_bmp_};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 5);
            reply.xselection.property = property;
        } else if (request.target == png_ || request.target == bmp_ || request.target == x_bmp_ ||
                   request.target == x_ms_bmp_) {
            const Bytes data = Encoded(request.target == png_);
            if (data && data->size() > chunk_) {
                // Announce the size, then send chunks each time the
                // requestor deletes the property.
                transfers_.erase(std::remove_if(transfers_.begin(), transfers_.end(),
                                                [&](const Transfer& t) {
                                                    return t.requestor == request.requestor &&
                                                           t.property == property;
                                                }),
                                 transfers_.end());
                if (transfers_.size() >= 16) transfers_.erase(transfers_.begin());
                XSelectInput(display_, request.requestor, PropertyChangeMask);
                const long size = static_cast<long>(data->size());
                XChangeProperty(display_, request.requestor, property, incr_, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(&size), 1);
                transfers_.push_back(Transfer{request.requestor, property, request.target, data, 0});
                reply.xselection.property = property;
            } else if (data) {
                XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                                data->data(), static_cast<int>(data->size()));
                reply.xselection.property = property;
            }
        }
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
}

void SelectionOwner::SendNextChunk(Transfer& transfer) {
    const std::size_t left = transfer.data->size() - transfer.offset;
    const std::size_t n = std::min(chunk_, left);
    XChangeProperty(display_, transfer.requestor, transfer.property, transfer.type, 8, PropModeReplace,
                    transfer.data->data() + transfer.offset, static_cast<int>(n));
    transfer.offset += n;
    if (n == 0) {
        // The empty chunk ends the transfer.
        XSelectInput(display_, transfer.requestor, NoEventMask);
        const Window requestor = transfer.requestor;
        const Atom property = transfer.property;
        transfers_.erase(std::remove_if(transfers_.begin(), transfers_.end(),
                                        [&](const Transfer& t) {
                                            return t.requestor == requestor && t.property == property;
                                        }),
                         transfers_.end());
    }
    XFlush(display_);
}

bool SelectionOwner::WaitFor(const std::function<bool(const XEvent&)>& wanted, XEvent* event) {
    const i64 deadline = NowMs() + kAnswerWaitMs;
    for (;;) {
        while (XPending(display_) > 0) {
            XNextEvent(display_, event);
            if (wanted(*event)) return true;
            Handle(*event);
        }
        const i64 left = deadline - NowMs();
        if (left <= 0) return false;
        pollfd p{ConnectionNumber(display_), POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::min<i64>(left, 50)));
    }
}

bool SelectionOwner::ReadProperty(std::vector<u8>* bytes, Atom* type) {
    bytes->clear();
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, property_, 0, long(kLargestPaste / 4), True, AnyPropertyType,
                           &actual, &format, &count, &after, &data) != Success) {
        return false;
    }
    bool ok = actual != None && after == 0;
    if (ok && data != nullptr) {
        // Format 32 items are held as longs by Xlib whatever their size.
        const std::size_t unit = format == 8 ? 1 : format == 16 ? sizeof(short) : sizeof(long);
        bytes->assign(data, data + count * unit);
    }
    if (data != nullptr) XFree(data);
    *type = actual;
    return ok;
}

bool SelectionOwner::Convert(Atom target, std::vector<u8>* bytes, Atom* type, bool* timed_out) {
    if (timed_out != nullptr) *timed_out = false;
    XDeleteProperty(display_, window_, property_);
    XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
    XFlush(display_);
    XEvent event;
    const Window self = window_;
    if (!WaitFor([&](const XEvent& e) { return e.type == SelectionNotify && e.xselection.requestor == self; },
                 &event)) {
        if (timed_out != nullptr) *timed_out = true;
        return false;
    }
    if (event.xselection.property == None) return false;
    if (!ReadProperty(bytes, type)) return false;
    if (*type != incr_) return true;

    // Reading the INCR announcement deleted it, which asks for the first
    // chunk; each chunk read and deleted asks for the next; an empty one ends.
    std::vector<u8> whole;
    const Atom property = property_;
    for (;;) {
        if (!WaitFor([&](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == self &&
                       e.xproperty.atom == property && e.xproperty.state == PropertyNewValue;
            }, &event)) {
            return false;
        }
        std::vector<u8> chunk;
        if (!ReadProperty(&chunk, type)) return false;
        if (chunk.empty()) break;
        if (whole.size() + chunk.size() > kLargestPaste) return false;
        whole.insert(whole.end(), chunk.begin(), chunk.end());
    }
    *bytes = std::move(whole);
    return true;
}

unsigned long SelectionOwner::Owner() {
    if (!Open()) return None;
    return XGetSelectionOwner(display_, clipboard_);
}

bool SelectionOwner::OffersText() {
    if (!Open()) return false;
    ErrorTrap trap(display_);
    std::vector<u8> bytes;
    Atom type = None;
    if (!Convert(targets_, &bytes, &type) || type != XA_ATOM) return false;
    const Atom text_types[] = {XInternAtom(display_, "UTF8_STRING", False), XA_STRING,
                               XInternAtom(display_, "TEXT", False),
                               XInternAtom(display_, "text/plain;charset=utf-8", False),
                               XInternAtom(display_, "text/plain", False)};
    for (std::size_t i = 0; i + sizeof(long) <= bytes.size(); i += sizeof(long)) {
        long value;
        std::copy(bytes.begin() + i, bytes.begin() + i + sizeof(long), reinterpret_cast<u8*>(&value));
        for (Atom t : text_types) {
            if (static_cast<Atom>(value) == t) return true;
        }
    }
    return false;
}

bool SelectionOwner::GetImage(ClipboardImage* image) {
    if (!Open()) return false;
    if (Owns()) {
        *image = image_;
        return !image_.rgb.empty();
    }
    if (XGetSelectionOwner(display_, clipboard_) == None) return false;
    ErrorTrap trap(display_);

    std::vector<Atom> candidates;
    std::vector<u8> bytes;
    Atom type = None;
    bool timed_out = false;
    if (Convert(targets_, &bytes, &type, &timed_out) && type == XA_ATOM) {
        const std::size_t n = bytes.size() / sizeof(long);
        std::vector<Atom> offered(n);
        for (std::size_t i = 0; i < n; ++i) {
            long value;
            std::copy(bytes.begin() + i * sizeof(long), bytes.begin() + (i + 1) * sizeof(long),
                      reinterpret_cast<u8*>(&value));
            offered[i] = static_cast<Atom>(value);
        }
        for (Atom wanted : {png_, bmp_, x_bmp_, x_ms_bmp_}) {
            if (std::find(offered.begin(), offered.end(), wanted) != offered.end()) candidates.push_back(wanted);
        }
    } else if (timed_out) {
        return false;  // a hung owner: do not wait for it again and again
    } else {
        // An owner that lists nothing may still answer a direct request.
        candidates = {png_, bmp_};
    }

    for (Atom target : candidates) {
        if (!Convert(target, &bytes, &type)) continue;
        char* name = XGetAtomName(display_, target);
        const std::string type_name = name ? name : "";
        if (name) XFree(name);
        if (DecodeClipboardImage(type_name, bytes.data(), bytes.size(), image)) return true;
        // A picture offered but damaged is refused outright: no fallback to
        // another form of the same broken picture.
        return false;
    }
    return false;
}

}  // namespace

bool SetImage(const u8* rgb, u32 width, u32 height) { return g_owner.SetImage(rgb, width, height); }
bool GetImage(ClipboardImage* image) { return g_owner.GetImage(image); }
bool OwnsClipboard() { return g_owner.Owns(); }
unsigned long CurrentOwner() { return g_owner.Owner(); }
bool OwnerOffersText() { return g_owner.OffersText(); }
void ServiceRequests() { g_owner.Service(); }

}  // namespace x11_clipboard
}  // namespace pirn
