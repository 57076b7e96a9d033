// Weighted k-means refinement of a palette (Lloyd's passes until no colour
// changes cluster or a pass hardly lowers the error any more), accelerated
// by bounds on distances and spread over a team of threads.
//
// Every colour keeps an upper bound on the distance to its own centre and
// lower bounds on the distance to the others; while the upper one stays
// below the lower ones the colour cannot change cluster and is not
// measured. The bounds are kept relative to running totals of their
// cluster, so the room between them shrinks by the same amount for every
// colour of the cluster, and a short array of rooms tells which colours are
// due for a look. A colour on the border of two clusters also remembers the
// runner-up centre, so that most looks cost two distances instead of a
// search.
//
// The result is the same for any number of threads: within a pass the
// centres are fixed, so every colour's decision depends only on them and on
// its own bounds; the clusters' sums are integers, and the other per-cluster
// figures are maxima and minima, so neither depends on the order in which
// the threads deliver their colours.
//
// A pass is one round of the team, cluster by cluster, the biggest first:
// a colour that changes cluster takes its weight to the new cluster's sums
// at the end of the pass, and is taken in as a member at the start of the
// next pass's work on that cluster, so the threads meet once per pass.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "platform/palette_cells.h"
#include "platform/palette_quantise.h"
#include "platform/worker_team.h"

namespace pirn {
namespace {

constexpr double kHuge = std::numeric_limits<double>::max();
constexpr float kFloatHuge = std::numeric_limits<float>::infinity();
// Keeps rounding in the bounds from passing over a colour that really is
// nearer to another centre.
constexpr double kMargin = 1e-9;
// A pass that lowers the total squared error by less than this share of
// it ends the refinement. Converging to the last colour takes hundreds of
// passes on a photograph, each moving a few dozen of its colours; the
// passes after this point change the remapped picture by hundredths of a
// dB.
constexpr double kSettledShare = 1e-4;
// A safety bound only: with exact means each move lowers the total error,
// so the loop ends long before this.
constexpr int kMaxPasses = 10000;

// One histogram colour inside its cluster. The bounds are kept relative to
// running totals (the drift of the own centre for the upper one, of the
// runner-up centre for its lower one, the cluster's loosening for the
// other lower one), so they need no update while they hold.
struct Member {
    double upper_base;   // own centre
    double runner_base;  // the runner-up centre
    double rest_base;    // every centre but these two
    u32 weight;
    u8 r, g, b;
    u8 runner_up;  // the own centre when there is none
};

float FloatBelow(double value) {
    float f = static_cast<float>(value);
    if (double(f) > value) f = std::nextafter(f, -kFloatHuge);
    return f;
}

float FloatAbove(double value) {
    float f = static_cast<float>(value);
    if (double(f) < value) f = std::nextafter(f, kFloatHuge);
    return f;
}

struct Centre {
    double r, g, b;

    double Distance(const Member& m) const {
        const double dr = r - double(m.r), dg = g - double(m.g), db = b - double(m.b);
        return dr * dr + dg * dg + db * db;
    }
};

// Bounds in plain distances, before they are stored against a cluster.
struct Bounds {
    double upper, runner, rest;
};

using Neighbour = std::pair<double, u32>;  // squared gap, centre

// Weighted sums of a cluster's colours, or of what a pass moved into it.
struct Sums {
    i64 r = 0, g = 0, b = 0, weight = 0;
    i64 squares = 0;  // of the channels

    void Add(const Member& m, int sign) {
        const i64 w = i64(m.weight) * sign;
        r += w * i64(m.r);
        g += w * i64(m.g);
        b += w * i64(m.b);
        weight += w;
        squares += w * (i64(m.r) * m.r + i64(m.g) * m.g + i64(m.b) * m.b);
    }
    void Add(const Sums& other) {
        r += other.r;
        g += other.g;
        b += other.b;
        weight += other.weight;
        squares += other.squares;
    }
};

struct Cluster {
    Sums sums;
    double drift = 0;     // total movement of the centre
    double loosened = 0;  // total loosening of the members' rest bounds
    // Largest upper and rest bases among the members (or larger), gathered
    // afresh every few visits: stale values only err on the safe side.
    double widest_upper = -kHuge, widest_rest = -kHuge;
    u32 visits = 0;
    std::vector<Member> members;
    // Per member, at most the room between its bases and its runner-up: a
    // pass scans these for the members due for a look without touching the
    // members themselves.
    std::vector<float> rest_rooms, runner_rooms;
    std::vector<u8> runners;
    double move = 0, half_gap = 0;
    // Other centres by their gap from this one, as of pass neighbours_pass.
    std::vector<Neighbour> neighbours;
    int neighbours_pass = -1;

    // The weighted squared error about the mean, from the integer sums
    // alone, so it does not depend on the order the members came in.
    double Error() const {
        const double w = double(sums.weight), r = double(sums.r), g = double(sums.g), b = double(sums.b);
        return double(sums.squares) - (r * r + g * g + b * b) / w;
    }
    // Stores the bounds of member i relative to the running totals, as
    // they stood when the bounds were measured: own_drift is this centre's
    // drift then, runner_drift the runner-up's.
    void Keep(size_t i, const Bounds& bounds, u32 runner_up, double own_drift, double runner_drift) {
        Member& m = members[i];
        m.upper_base = bounds.upper - own_drift;
        m.runner_base = bounds.runner + runner_drift;
        m.rest_base = bounds.rest + loosened;
        m.runner_up = static_cast<u8>(runner_up);
        widest_upper = std::max(widest_upper, m.upper_base);
        widest_rest = std::max(widest_rest, m.rest_base);
        rest_rooms[i] = FloatBelow(m.rest_base - m.upper_base);
        runner_rooms[i] = FloatBelow(m.runner_base - m.upper_base);
        runners[i] = m.runner_up;
    }
    // A member whose colour the sums already hold.
    void Take(const Member& m, const Bounds& bounds, u32 runner_up, double own_drift, double runner_drift) {
        members.push_back(m);
        rest_rooms.push_back(0);
        runner_rooms.push_back(0);
        runners.push_back(0);
        Keep(members.size() - 1, bounds, runner_up, own_drift, runner_drift);
    }
    void RemoveLast() {
        members.pop_back();
        rest_rooms.pop_back();
        runner_rooms.pop_back();
        runners.pop_back();
    }
};

// A colour on its way to another cluster, with its bounds in plain
// distances and the drifts of its new and runner-up centres when they were
// measured.
struct Arrival {
    Member member;
    Bounds bounds;
    double own_drift, runner_drift;
};

// What one team member keeps from cluster to cluster. A pass's arrivals
// are taken in by the next pass, while that pass gathers its own: two sets,
// by the pass's parity.
struct Scratch {
    std::vector<std::vector<Arrival>> arrivals[2];  // by cluster
    std::vector<Sums> arriving;                      // by cluster, this pass
    size_t moved = 0;
    std::vector<u32> due;
    std::vector<u32> leaving;
};

class KMeansRefiner {
public:
    KMeansRefiner(const std::vector<CountColorPair>& histogram, const u8* initial, u32 count, u32 threads)
        : count_(count),
          clusters_(count),
          centres_(count),
          drifts_(count, 0.0),
          gaps_(size_t(count) * count),
          team_(threads),
          scratch_(team_.size()) {
        for (u32 c = 0; c < count; ++c)
            centres_[c] = Centre{double(initial[c * 3]), double(initial[c * 3 + 1]), double(initial[c * 3 + 2])};
        by_size_.resize(count);
        for (u32 c = 0; c < count; ++c) by_size_[c] = c;
        for (Scratch& scratch : scratch_) {
            scratch.arrivals[0].resize(count);
            scratch.arrivals[1].resize(count);
            scratch.arriving.resize(count);
        }
        AssignFirst(histogram, initial);
    }

    void Run() {
        double error = TotalError();
        for (pass_ = 0; pass_ < kMaxPasses; ++pass_) {
            MoveCentres();
            OrderBySize();
            for (Scratch& scratch : scratch_) scratch.moved = 0;
            team_.ForEach(count_, [this](u32 item, u32 member) { Work(by_size_[item], &scratch_[member]); });
            gaps_known_ = true;
            size_t moved = 0;
            for (const Scratch& scratch : scratch_) moved += scratch.moved;
            AddArrivingSums();
            if (moved == 0) return;
            const double now = TotalError();
            if (error - now < kSettledShare * now) break;
            error = now;
        }
        MoveCentres();  // the means of the last assignment
    }

    void Write(u8* result) const {
        for (u32 c = 0; c < count_; ++c) {
            const double channels[3] = {centres_[c].r, centres_[c].g, centres_[c].b};
            for (int i = 0; i < 3; ++i)
                result[c * 3 + i] = static_cast<u8>(std::clamp(std::lround(channels[i]), 0L, 255L));
        }
    }

private:
    void AssignFirst(const std::vector<CountColorPair>& histogram, const u8* initial);
    double TotalError() const;
    void MoveCentres();
    void UpdateGaps(u32 c);
    double& Gap(u32 a, u32 b) { return gaps_[size_t(a) * count_ + b]; }
    void Work(u32 c, Scratch* scratch);
    void PlanCluster(u32 c);
    void VisitCluster(u32 c, Scratch* scratch);
    bool Measure(u32 c, u32 i, Scratch* scratch);
    bool Search(u32 c, u32 i, double own, Scratch* scratch);
    void Leave(u32 c, u32 to, const Member& m, const Bounds& bounds, u32 runner_up, Scratch* scratch);
    const Neighbour* NeighbourRow(u32 c);
    void TakeArrivals(u32 c);
    void AddArrivingSums();
    // The biggest clusters first, so the last ones a pass hands out are
    // small and no thread is left alone with a big one at the end.
    void OrderBySize() {
        std::stable_sort(by_size_.begin(), by_size_.end(), [this](u32 a, u32 b) {
            return clusters_[a].members.size() > clusters_[b].members.size();
        });
    }

    const u32 count_;
    std::vector<Cluster> clusters_;
    std::vector<Centre> centres_;  // exact weighted means, so every move lowers the error
    std::vector<double> drifts_;   // each centre's drift, side by side for the scans
    std::vector<double> gaps_;     // squared distances between centres; a row per centre
    std::vector<u32> moving_;
    bool gaps_known_ = false;
    int pass_ = 0;
    int last_move_pass_ = 0;  // the last pass that moved a centre
    WorkerTeam team_;
    std::vector<Scratch> scratch_;  // per team member
    std::vector<u32> by_size_;       // the clusters, biggest first as of the pass's start
};

// For every cell of a fine grid that holds a colour, the starting centres
// that can be among the three nearest anywhere in it. Each fine cell's
// candidates are picked from those of the coarse cell around it, which
// hold them all.
class CandidateGrid {
public:
    CandidateGrid(const std::vector<CountColorPair>& histogram, const u8* centres, u32 count, WorkerTeam* team)
        : centres_(centres), used_(kCells, 0), start_(kCells, 0), size_(kCells, 0) {
        std::vector<u8> coarse_used(kCoarseCells, 0);
        for (const CountColorPair& p : histogram) {
            used_[Cell(p, kFine)] = 1;
            coarse_used[Cell(p, kCoarse)] = 1;
        }
        std::vector<u8> coarse_lists(size_t(kCoarseCells) * count);
        std::vector<u32> coarse_size(kCoarseCells, 0);
        u8 everyone[kPaletteEntries];
        for (u32 c = 0; c < count; ++c) everyone[c] = static_cast<u8>(c);
        team->ForEach(kBlocks, [&](u32 block, u32) {
            for (u32 cell = block * kBlockCells; cell < (block + 1) * kBlockCells; ++cell) {
                if (!coarse_used[cell]) continue;
                i32 low[3];
                Low(cell, kCoarse, low);
                coarse_size[cell] =
                    CubeCandidates(centres, everyone, count, low, 1 << kCoarse, 3,
                                                   &coarse_lists[size_t(cell) * count]);
            }
        });
        // A coarse cell's eight fine cells fit in eight times its candidates.
        std::vector<u32> region(kCoarseCells + 1, 0);
        for (u32 cell = 0; cell < kCoarseCells; ++cell) region[cell + 1] = region[cell] + 8 * coarse_size[cell];
        lists_.resize(region[kCoarseCells]);
        team->ForEach(kBlocks, [&](u32 block, u32) {
            for (u32 cell = block * kBlockCells; cell < (block + 1) * kBlockCells; ++cell) {
                if (!coarse_used[cell]) continue;
                FillFineCells(cell, &coarse_lists[size_t(cell) * count], coarse_size[cell], region[cell]);
            }
        });
    }

    // The candidates for colour p, in ascending order.
    const u8* Candidates(const CountColorPair& p, u32* size) const {
        const u32 cell = Cell(p, kFine);
        *size = size_[cell];
        return &lists_[start_[cell]];
    }

private:
    static constexpr u32 kCoarse = 4, kFine = 3;  // cell sizes as shifts
    static constexpr u32 kCells = 1u << (3 * (8 - kFine)), kCoarseCells = 1u << (3 * (8 - kCoarse));
    // Coarse cells go to the team in blocks of this many.
    static constexpr u32 kBlockCells = 64, kBlocks = kCoarseCells / kBlockCells;

    static u32 Cell(const CountColorPair& p, u32 shift) {
        const u32 side = 256 >> shift;
        return ((u32(PairRed(p)) >> shift) * side + (u32(PairGreen(p)) >> shift)) * side + (u32(PairBlue(p)) >> shift);
    }
    // The lowest corner of a cell, in levels.
    static void Low(u32 cell, u32 shift, i32* low) {
        const u32 side = 256 >> shift;
        low[0] = i32(cell / (side * side)) << shift;
        low[1] = i32(cell / side % side) << shift;
        low[2] = i32(cell % side) << shift;
    }

    void FillFineCells(u32 coarse_cell, const u8* coarse_list, u32 coarse_size, u32 at) {
        const u32 side = 256 >> kFine, coarse_side = 256 >> kCoarse;
        const u32 x = coarse_cell / (coarse_side * coarse_side), y = coarse_cell / coarse_side % coarse_side,
                  z = coarse_cell % coarse_side;
        for (u32 fine = 0; fine < 8; ++fine) {
            const u32 cell = ((x * 2 + (fine >> 2)) * side + y * 2 + (fine >> 1 & 1)) * side + z * 2 + (fine & 1);
            if (!used_[cell]) continue;
            i32 low[3];
            Low(cell, kFine, low);
            start_[cell] = at;
            size_[cell] = CubeCandidates(centres_, coarse_list, coarse_size, low, 1 << kFine, 3, &lists_[at]);
            at += size_[cell];
        }
    }

    const u8* centres_;
    std::vector<u8> used_;
    std::vector<u32> start_, size_;
    std::vector<u8> lists_;
};

// Where a colour goes first and its bounds.
struct FirstPlace {
    u8 owner, runner_up;
    Bounds bounds;
};

// The nearest, second and third nearest among the candidates, which hold
// them all. The starting centres are whole numbers, so the distances are
// exact integers; on a tie the lower centre wins.
FirstPlace NearestCandidates(const CountColorPair& p, const u8* centres, const u8* list, u32 n) {
    constexpr i32 kNone = 1 << 30;
    const i32 r = PairRed(p), g = PairGreen(p), b = PairBlue(p);
    u32 best = 0, second = 0;
    i32 d1 = kNone, d2 = kNone, d3 = kNone;
    for (u32 j = 0; j < n; ++j) {
        const u32 c = list[j];
        const i32 dr = i32(centres[c * 3]) - r, dg = i32(centres[c * 3 + 1]) - g, db = i32(centres[c * 3 + 2]) - b;
        const i32 d = dr * dr + dg * dg + db * db;
        if (d < d1) {
            d3 = d2;
            d2 = d1;
            second = best;
            d1 = d;
            best = c;
        } else if (d < d2) {
            d3 = d2;
            d2 = d;
            second = c;
        } else if (d < d3) {
            d3 = d;
        }
    }
    // With a single centre there is no runner-up.
    auto root = [](i32 d) { return d == kNone ? kHuge : std::sqrt(double(d)); };
    return FirstPlace{static_cast<u8>(best), static_cast<u8>(d2 == kNone ? best : second),
                      Bounds{std::sqrt(double(d1)), root(d2), root(d3)}};
}

void KMeansRefiner::AssignFirst(const std::vector<CountColorPair>& histogram, const u8* initial) {
    const u32 colours = static_cast<u32>(histogram.size());
    std::vector<FirstPlace> first(colours);
    {
        const CandidateGrid grid(histogram, initial, count_, &team_);
        constexpr u32 kSpan = 4096;  // colours per item
        team_.ForEach((colours + kSpan - 1) / kSpan, [&](u32 span, u32) {
            const u32 begin = span * kSpan, end = std::min(colours, begin + kSpan);
            for (u32 i = begin; i < end; ++i) {
                u32 n = 0;
                const u8* list = grid.Candidates(histogram[i], &n);
                first[i] = NearestCandidates(histogram[i], initial, list, n);
            }
        });
    }
    // The colours of each cluster in histogram order, then each cluster
    // filled by one member of the team.
    std::vector<u32> start(count_ + 1, 0);
    for (const FirstPlace& f : first) ++start[f.owner + 1];
    for (u32 c = 0; c < count_; ++c) start[c + 1] += start[c];
    std::vector<u32> order(colours);
    std::vector<u32> next(start.begin(), start.end() - 1);
    for (u32 i = 0; i < colours; ++i) order[next[first[i].owner]++] = i;
    team_.ForEach(count_, [&](u32 c, u32) {
        Cluster& cluster = clusters_[c];
        const u32 size = start[c + 1] - start[c];
        cluster.members.reserve(size);
        cluster.rest_rooms.reserve(size);
        cluster.runner_rooms.reserve(size);
        cluster.runners.reserve(size);
        for (u32 j = start[c]; j < start[c + 1]; ++j) {
            const u32 i = order[j];
            const Member m{0, 0, 0, histogram[i].count, PairRed(histogram[i]), PairGreen(histogram[i]),
                           PairBlue(histogram[i]), 0};
            cluster.sums.Add(m, 1);
            cluster.Take(m, first[i].bounds, first[i].runner_up, 0.0, 0.0);
        }
    });
}

void KMeansRefiner::MoveCentres() {
    moving_.clear();
    for (u32 c = 0; c < count_; ++c) {
        Cluster& k = clusters_[c];
        Centre& centre = centres_[c];
        k.move = 0;
        const Sums& sums = k.sums;
        if (sums.weight <= 0) continue;
        const Centre mean{double(sums.r) / double(sums.weight), double(sums.g) / double(sums.weight),
                          double(sums.b) / double(sums.weight)};
        const double dr = mean.r - centre.r, dg = mean.g - centre.g, db = mean.b - centre.b;
        k.move = std::sqrt(dr * dr + dg * dg + db * db);
        k.drift += k.move;
        drifts_[c] = k.drift;
        if (k.move > 0.0) moving_.push_back(c);
        centre = mean;
    }
    if (!moving_.empty()) last_move_pass_ = pass_;
}

// The squared gaps from centre c change only where a centre moved. Only
// the cluster's own work reads its row.
void KMeansRefiner::UpdateGaps(u32 c) {
    auto update = [&](u32 o) {
        const double dr = centres_[c].r - centres_[o].r, dg = centres_[c].g - centres_[o].g,
                     db = centres_[c].b - centres_[o].b;
        Gap(c, o) = dr * dr + dg * dg + db * db;
    };
    if (!gaps_known_ || clusters_[c].move > 0.0) {
        for (u32 o = 0; o < count_; ++o) update(o);
    } else {
        for (u32 o : moving_) update(o);
    }
}

// Summed in palette order, so the same for any number of threads.
double KMeansRefiner::TotalError() const {
    double total = 0.0;
    for (const Cluster& k : clusters_) {
        if (k.sums.weight > 0) total += k.Error();
    }
    return total;
}

void KMeansRefiner::Work(u32 c, Scratch* scratch) {
    TakeArrivals(c);
    UpdateGaps(c);
    PlanCluster(c);
    VisitCluster(c, scratch);
}

// Half the distance to the nearest other centre and the loosening of the
// cluster's rest bounds for this pass.
void KMeansRefiner::PlanCluster(u32 c) {
    Cluster& k = clusters_[c];
    double nearest = kHuge;
    const double* row = &gaps_[size_t(c) * count_];
    for (u32 o = 0; o < count_; ++o) {
        if (o != c) nearest = std::min(nearest, row[o]);
    }
    k.half_gap = 0.5 * std::sqrt(nearest);
    // Only a moved centre within reach loosens the cluster's rest bounds: a
    // centre farther than the largest upper plus the largest rest bound
    // cannot come nearer to any colour than its rest bound says. The margin
    // covers rounding in the reach.
    const double reach = k.widest_upper + k.drift + k.widest_rest - k.loosened + kMargin;
    double loosen = 0.0;
    for (u32 o : moving_) {
        const Cluster& other = clusters_[o];
        if (o != c && other.move > loosen && row[o] < reach * reach) loosen = other.move;
    }
    k.loosened += loosen;
}

// Measures the members due for a look, found by their rooms alone.
void KMeansRefiner::VisitCluster(u32 c, Scratch* scratch) {
    Cluster& k = clusters_[c];
    const u32 n = static_cast<u32>(k.members.size());
    if (n == 0) return;
    const float due_rest = FloatAbove(k.drift + k.loosened + kMargin);
    const double due_runner = k.drift + kMargin;
    const float* rest_rooms = k.rest_rooms.data();
    const float* runner_rooms = k.runner_rooms.data();
    const u8* runners = k.runners.data();
    const double* drifts = drifts_.data();
    std::vector<u32>& due = scratch->due;
    // Without branches: a tenth or so are due, scattered, which a branch
    // would mispredict.
    due.resize(n);
    u32 count = 0;
    for (u32 i = 0; i < n; ++i) {
        const bool is_due = (rest_rooms[i] <= due_rest) | (double(runner_rooms[i]) - drifts[runners[i]] <= due_runner);
        due[count] = i;
        count += is_due;
    }
    // Every few visits the largest bases are gathered afresh, so members
    // that left or were measured again stop widening the reach.
    if (++k.visits % 8 == 0) {
        k.widest_upper = k.widest_rest = -kHuge;
        for (const Member& m : k.members) {
            k.widest_upper = std::max(k.widest_upper, m.upper_base);
            k.widest_rest = std::max(k.widest_rest, m.rest_base);
        }
    }
    std::vector<u32>& leaving = scratch->leaving;
    leaving.clear();
    // The due members lie scattered over the cluster: fetching a few ahead
    // hides most of the wait for memory.
    constexpr u32 kAhead = 8;
    for (u32 j = 0; j < count; ++j) {
        if (j + kAhead < count) __builtin_prefetch(&k.members[due[j + kAhead]]);
        if (!Measure(c, due[j], scratch)) leaving.push_back(due[j]);
    }
    // The leavers go from the back, so every member moved into a leaver's
    // place is one that stays.
    for (size_t j = leaving.size(); j-- > 0;) {
        const u32 i = leaving[j];
        const size_t last = k.members.size() - 1;
        k.members[i] = k.members[last];
        k.rest_rooms[i] = k.rest_rooms[last];
        k.runner_rooms[i] = k.runner_rooms[last];
        k.runners[i] = k.runners[last];
        k.RemoveLast();
    }
}

// Whether member i stays in cluster c; a leaver is recorded as a move.
bool KMeansRefiner::Measure(u32 c, u32 i, Scratch* scratch) {
    Cluster& k = clusters_[c];
    const Member& m = k.members[i];
    double upper = m.upper_base + k.drift;
    const double runner = m.runner_base - drifts_[m.runner_up], rest = m.rest_base - k.loosened;
    const double bound = std::max(k.half_gap, std::min(runner, rest)) - kMargin;
    // Every other centre is at least twice the half gap from this one, so
    // at least that minus upper from the colour.
    auto keep = [&](double own, double runner_distance, u32 runner_up) {
        const double near_all = 2.0 * k.half_gap - own;
        k.Keep(i, Bounds{own, std::max(runner_distance, near_all), std::max(rest, near_all)}, runner_up, k.drift,
               drifts_[runner_up]);
        return true;
    };
    if (upper <= bound) return keep(upper, runner, m.runner_up);
    const double own = centres_[c].Distance(m);
    upper = std::sqrt(own);
    if (upper <= bound) return keep(upper, runner, m.runner_up);
    const u32 o = m.runner_up;
    if (o == c || upper > rest - kMargin) return Search(c, i, own, scratch);
    // Only the runner-up can be as near as the own centre; the own centre
    // keeps a tie.
    const double other = centres_[o].Distance(m);
    if (other >= own) return keep(upper, std::sqrt(other), o);
    Leave(c, o, m, Bounds{std::sqrt(other), upper, rest}, c, scratch);
    return false;
}

// Member i against every centre that can be nearer than its own one.
bool KMeansRefiner::Search(u32 c, u32 i, double own, Scratch* scratch) {
    Cluster& k = clusters_[c];
    const Member& m = k.members[i];
    const Neighbour* row = NeighbourRow(c);
    // Only centres closer to this one than twice the colour's distance can
    // be nearer. Looking somewhat further gives lower bounds with room to
    // spare.
    const double limit = 6.25 * own;
    u32 best = c, second = c;
    double best_d = own, second_d = kHuge, third_d = kHuge;
    u32 n = 0;
    for (; n + 1 < count_ && row[n].first < limit; ++n) {
        const u32 other = row[n].second;
        const double d = centres_[other].Distance(m);
        // The current centre keeps a tie; among others the lower one wins,
        // as in the first assignment.
        if (d < best_d || (d == best_d && best != c && other < best)) {
            third_d = second_d;
            second_d = best_d;
            second = best;
            best_d = d;
            best = other;
        } else if (d < second_d) {
            third_d = second_d;
            second_d = d;
            second = other;
        } else if (d < third_d) {
            third_d = d;
        }
    }
    const double unseen = n + 1 < count_ ? std::sqrt(row[n].first) - std::sqrt(own) : kHuge;
    // With no other centre in sight there is no runner-up, and the rest
    // bound covers every other centre.
    const Bounds bounds{std::sqrt(best_d), second == best ? kHuge : std::min(std::sqrt(second_d), unseen),
                        std::min(std::sqrt(third_d), unseen)};
    if (best == c) {
        k.Keep(i, bounds, second, k.drift, drifts_[second]);
        return true;
    }
    Leave(c, best, m, bounds, second, scratch);
    return false;
}

// The other centres by their gap from centre c. The order changes little
// from pass to pass, so the last one is brought up to date by insertion.
const Neighbour* KMeansRefiner::NeighbourRow(u32 c) {
    Cluster& k = clusters_[c];
    std::vector<Neighbour>& row = k.neighbours;
    if (row.empty()) {
        for (u32 o = 0; o < count_; ++o) {
            if (o != c) row.emplace_back(Gap(c, o), o);
        }
        std::sort(row.begin(), row.end());
    } else if (k.neighbours_pass < last_move_pass_) {
        for (Neighbour& n : row) n.first = Gap(c, n.second);
        for (size_t i = 1; i < row.size(); ++i) {
            const Neighbour n = row[i];
            size_t j = i;
            for (; j > 0 && n < row[j - 1]; --j) row[j] = row[j - 1];
            row[j] = n;
        }
    }
    k.neighbours_pass = pass_;
    return row.data();
}

// The colour leaves its cluster's sums now (nobody else reads them during
// the pass); its weight goes to the new cluster's sums at the end of the
// pass, and the colour itself into the cluster at the start of the next.
void KMeansRefiner::Leave(u32 c, u32 to, const Member& m, const Bounds& bounds, u32 runner_up, Scratch* scratch) {
    clusters_[c].sums.Add(m, -1);
    scratch->arriving[to].Add(m, 1);
    Arrival arrival{m, bounds, drifts_[to], drifts_[runner_up]};
    arrival.member.runner_up = static_cast<u8>(runner_up);
    scratch->arrivals[pass_ & 1][to].push_back(arrival);
    ++scratch->moved;
}

// A cluster takes in the colours the last pass sent it, from every team
// member; their order does not matter, as no decision depends on it.
void KMeansRefiner::TakeArrivals(u32 c) {
    if (pass_ == 0) return;
    Cluster& cluster = clusters_[c];
    for (Scratch& scratch : scratch_) {
        std::vector<Arrival>& arrivals = scratch.arrivals[(pass_ - 1) & 1][c];
        for (const Arrival& arrival : arrivals)
            cluster.Take(arrival.member, arrival.bounds, arrival.member.runner_up, arrival.own_drift,
                         arrival.runner_drift);
        arrivals.clear();
    }
}

// Integer sums, so the order of the team members does not matter.
void KMeansRefiner::AddArrivingSums() {
    for (Scratch& scratch : scratch_) {
        for (u32 c = 0; c < count_; ++c) {
            clusters_[c].sums.Add(scratch.arriving[c]);
            scratch.arriving[c] = Sums{};
        }
    }
}

}  // namespace

u32 RefinePaletteKMeans(const std::vector<CountColorPair>& histogram, const u8* initial, u32 count,
                        u8* result) {
    count = std::min(count, kPaletteEntries);
    const u32 colours = static_cast<u32>(histogram.size());
    if (count == 0 || colours == 0) return 0;
    if (colours <= count) {
        for (u32 i = 0; i < colours; ++i) {
            result[i * 3] = PairRed(histogram[i]);
            result[i * 3 + 1] = PairGreen(histogram[i]);
            result[i * 3 + 2] = PairBlue(histogram[i]);
        }
        return colours;
    }
    // A thread of its own only for a few thousand colours: starting one
    // costs more than refining fewer.
    constexpr u32 kColoursPerThread = 4096;
    const u32 threads = std::clamp<u32>(colours / kColoursPerThread, 1, std::min(WorkerThreadCount(), count));
    KMeansRefiner refiner(histogram, initial, count, threads);
    refiner.Run();
    refiner.Write(result);
    return count;
}

}  // namespace pirn
