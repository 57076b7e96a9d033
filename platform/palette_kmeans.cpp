// Weighted k-means refinement of a palette (Lloyd's passes until no colour
// changes cluster), accelerated by Hamerly's bounds and spread over a team
// of threads.
//
// Every colour keeps an upper bound on the distance to its own centre and a
// lower bound on the distance to any other; while the upper one stays below
// the lower one the colour cannot change cluster and is not measured. Each
// cluster owns its colours, so a cluster all of whose colours have room to
// spare is passed over whole, and the clusters are the unit of work handed
// to the threads.
//
// The result is the same for any number of threads: within a pass the
// centres are fixed, so every colour's decision depends only on them and on
// its own bounds; the clusters' sums are integers, and the other per-cluster
// figures are maxima and minima, so neither depends on the order in which
// the threads deliver their colours.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "platform/palette_quantise.h"
#include "platform/worker_team.h"

namespace pirn {
namespace {

constexpr double kHuge = std::numeric_limits<double>::max();
// Keeps rounding in the bounds from passing over a colour that really is
// nearer to another centre.
constexpr double kMargin = 1e-9;
// A safety bound only: with exact means each move lowers the total error,
// so the loop ends long before this.
constexpr int kMaxPasses = 10000;

// One histogram colour inside its cluster. The bounds are kept relative to
// running totals (the centre's drift for the upper one, the cluster's
// loosening for the lower one), so they need no update while they hold.
struct Member {
    double upper_base;
    double lower_base;
    u32 weight;
    u8 r, g, b;
};

struct Cluster {
    double r = 0, g = 0, b = 0;  // exact weighted mean, so every move lowers the error
    i64 sum_r = 0, sum_g = 0, sum_b = 0, weight = 0;
    double drift = 0;     // total movement of the centre
    double loosened = 0;  // total loosening of the members' lower bounds
    // Largest bases among the members (or larger) and the smallest room
    // between lower and upper base (or smaller): stale values after members
    // leave only err on the safe side.
    double widest_upper = -kHuge, widest_lower = -kHuge, narrowest_room = -kHuge;
    double move = 0, half_gap = 0;
    bool visit = false;
    std::vector<Member> members;

    void Add(const Member& m, int sign) {
        const i64 w = i64(m.weight) * sign;
        sum_r += w * i64(m.r);
        sum_g += w * i64(m.g);
        sum_b += w * i64(m.b);
        weight += w;
    }
    double Distance(const Member& m) const {
        const double dr = r - double(m.r), dg = g - double(m.g), db = b - double(m.b);
        return dr * dr + dg * dg + db * db;
    }
    // Stores the member's bounds relative to this cluster's totals.
    void Keep(Member* m, double upper, double lower) {
        m->upper_base = upper - drift;
        m->lower_base = lower + loosened;
        widest_upper = std::max(widest_upper, m->upper_base);
        widest_lower = std::max(widest_lower, m->lower_base);
        narrowest_room = std::min(narrowest_room, m->lower_base - m->upper_base);
    }
};

struct Move {
    u32 from, to;
    Member member;
};

class KMeansRefiner {
public:
    KMeansRefiner(const std::vector<CountColorPair>& histogram, const u8* initial, u32 count, u32 threads)
        : count_(count),
          clusters_(count),
          gaps_(size_t(count) * count),
          neighbours_(size_t(count) * count),
          team_(threads),
          moves_(team_.size()) {
        for (u32 c = 0; c < count; ++c) {
            clusters_[c].r = initial[c * 3];
            clusters_[c].g = initial[c * 3 + 1];
            clusters_[c].b = initial[c * 3 + 2];
        }
        AssignFirst(histogram, initial);
    }

    void Run() {
        for (int pass = 0; pass < kMaxPasses; ++pass) {
            MoveCentres();
            PlanPass();
            next_cluster_.store(0, std::memory_order_relaxed);
            team_.Run([this](u32 member) { Work(member); });
            if (MergeMoves() == 0) break;
        }
    }

    void Write(u8* result) const {
        for (u32 c = 0; c < count_; ++c) {
            result[c * 3] = static_cast<u8>(std::clamp(std::lround(clusters_[c].r), 0L, 255L));
            result[c * 3 + 1] = static_cast<u8>(std::clamp(std::lround(clusters_[c].g), 0L, 255L));
            result[c * 3 + 2] = static_cast<u8>(std::clamp(std::lround(clusters_[c].b), 0L, 255L));
        }
    }

private:
    // Every colour against every starting centre. The starting centres are
    // whole numbers, so the distances are exact integers; on a tie the lower
    // centre wins.
    void AssignFirst(const std::vector<CountColorPair>& histogram, const u8* initial) {
        const u32 colours = static_cast<u32>(histogram.size());
        std::vector<u8> owner(colours);
        std::vector<double> upper(colours), lower(colours);
        const u32 members = team_.size();
        team_.Run([&](u32 member) {
            const u32 begin = u32(u64(colours) * member / members), end = u32(u64(colours) * (member + 1) / members);
            std::vector<i32> dist(count_);
            for (u32 i = begin; i < end; ++i) {
                const i32 r = PairRed(histogram[i]), g = PairGreen(histogram[i]), b = PairBlue(histogram[i]);
                for (u32 c = 0; c < count_; ++c) {
                    const i32 dr = i32(initial[c * 3]) - r, dg = i32(initial[c * 3 + 1]) - g,
                              db = i32(initial[c * 3 + 2]) - b;
                    dist[c] = dr * dr + dg * dg + db * db;
                }
                u32 best = 0;
                i32 best_d = dist[0], second_d = 1 << 30;
                for (u32 c = 1; c < count_; ++c) {
                    if (dist[c] < best_d) {
                        second_d = best_d;
                        best_d = dist[c];
                        best = c;
                    } else if (dist[c] < second_d) {
                        second_d = dist[c];
                    }
                }
                owner[i] = static_cast<u8>(best);
                upper[i] = std::sqrt(double(best_d));
                lower[i] = count_ > 1 ? std::sqrt(double(second_d)) : kHuge;
            }
        });
        for (u32 i = 0; i < colours; ++i) {
            Cluster& cluster = clusters_[owner[i]];
            Member m{0, 0, histogram[i].count, PairRed(histogram[i]), PairGreen(histogram[i]), PairBlue(histogram[i])};
            cluster.Keep(&m, upper[i], lower[i]);
            cluster.Add(m, 1);
            cluster.members.push_back(m);
        }
    }

    double& Gap(u32 a, u32 b) { return gaps_[size_t(a) * count_ + b]; }

    void MoveCentres() {
        moving_.clear();
        for (u32 c = 0; c < count_; ++c) {
            Cluster& k = clusters_[c];
            k.move = 0;
            if (k.weight <= 0) continue;
            const double r = double(k.sum_r) / double(k.weight), g = double(k.sum_g) / double(k.weight),
                         b = double(k.sum_b) / double(k.weight);
            k.move = std::sqrt((r - k.r) * (r - k.r) + (g - k.g) * (g - k.g) + (b - k.b) * (b - k.b));
            k.drift += k.move;
            if (k.move > 0.0) moving_.push_back(c);
            k.r = r;
            k.g = g;
            k.b = b;
        }
        // Squared gaps between centres change only where a centre moved.
        for (u32 c = 0; c < count_; ++c) {
            if (!gaps_known_ || clusters_[c].move > 0.0) UpdateGaps(c);
        }
        gaps_known_ = true;
    }

    void UpdateGaps(u32 c) {
        for (u32 o = 0; o < count_; ++o) {
            const double dr = clusters_[c].r - clusters_[o].r, dg = clusters_[c].g - clusters_[o].g,
                         db = clusters_[c].b - clusters_[o].b;
            Gap(c, o) = Gap(o, c) = dr * dr + dg * dg + db * db;
        }
    }

    // Half the distance to the nearest other centre, the loosening of each
    // cluster's lower bounds, and which clusters need their colours looked
    // at.
    void PlanPass() {
        team_.Run([this](u32 member) {
            for (u32 c = member; c < count_; c += team_.size()) PlanCluster(c);
        });
    }

    void PlanCluster(u32 c) {
        Cluster& k = clusters_[c];
        double nearest = kHuge;
        const double* row = &gaps_[size_t(c) * count_];
        for (u32 o = 0; o < count_; ++o) {
            if (o != c) nearest = std::min(nearest, row[o]);
        }
        k.half_gap = 0.5 * std::sqrt(nearest);
        // Only a moved centre within reach loosens the cluster's lower
        // bounds: a centre farther than the largest upper plus the
        // largest lower bound cannot come nearer to any colour than its
        // lower bound says. The margin covers rounding in the reach.
        const double reach = k.widest_upper + k.drift + k.widest_lower - k.loosened + kMargin;
        double loosen = 0.0;
        for (u32 o : moving_) {
            const Cluster& other = clusters_[o];
            if (o != c && other.move > loosen && row[o] < reach * reach) loosen = other.move;
        }
        k.loosened += loosen;
        k.visit = !k.members.empty() && k.narrowest_room - k.drift - k.loosened <= kMargin;
    }

    void Work(u32 member) {
        std::vector<Move>& moves = moves_[member];
        moves.clear();
        for (;;) {
            const u32 c = next_cluster_.fetch_add(1, std::memory_order_relaxed);
            if (c >= count_) return;
            if (clusters_[c].visit) VisitCluster(c, &moves);
        }
    }

    // The centres by their distance from centre c.
    const std::pair<double, u32>* NeighbourRow(u32 c) {
        std::pair<double, u32>* row = &neighbours_[size_t(c) * count_];
        u32 n = 0;
        for (u32 o = 0; o < count_; ++o) {
            if (o != c) row[n++] = {Gap(c, o), o};
        }
        std::sort(row, row + n);
        return row;
    }

    void VisitCluster(u32 c, std::vector<Move>* moves) {
        Cluster& k = clusters_[c];
        k.widest_upper = k.widest_lower = -kHuge;
        k.narrowest_room = kHuge;
        const std::pair<double, u32>* row = nullptr;
        size_t kept = 0;
        for (size_t j = 0; j < k.members.size(); ++j) {
            Member m = k.members[j];
            double upper = m.upper_base + k.drift;
            const double lower = m.lower_base - k.loosened;
            const double bound = std::max(k.half_gap, lower) - kMargin;
            if (upper > bound) upper = std::sqrt(k.Distance(m));
            if (upper <= bound) {
                // Every other centre is at least twice the half gap from
                // this one, so at least that minus upper from the colour.
                k.Keep(&m, upper, std::max(lower, 2.0 * k.half_gap - upper));
                k.members[kept++] = m;
                continue;
            }
            if (!row) row = NeighbourRow(c);
            // Only centres closer to this one than twice the colour's
            // distance can be nearer. Looking somewhat further gives a lower
            // bound with room to spare.
            const double own = upper * upper;
            const double limit = 6.25 * own;
            u32 best = c;
            double best_d = own, second_d = kHuge;
            u32 n = 0;
            for (; n + 1 < count_ && row[n].first < limit; ++n) {
                const u32 other = row[n].second;
                const double d = clusters_[other].Distance(m);
                // The current centre keeps a tie; among others the lower one
                // wins, as in the first assignment.
                if (d < best_d || (d == best_d && best != c && other < best)) {
                    second_d = best_d;
                    best_d = d;
                    best = other;
                } else if (d < second_d) {
                    second_d = d;
                }
            }
            const double unseen = n + 1 < count_ ? std::sqrt(row[n].first) - upper : kHuge;
            const double new_upper = std::sqrt(best_d), new_lower = std::min(std::sqrt(second_d), unseen);
            if (best == c) {
                k.Keep(&m, new_upper, new_lower);
                k.members[kept++] = m;
            } else {
                // The bounds are set against the new cluster when it takes
                // the colour in.
                m.upper_base = new_upper;
                m.lower_base = new_lower;
                moves->push_back(Move{c, best, m});
            }
        }
        k.members.resize(kept);
    }

    size_t MergeMoves() {
        size_t moved = 0;
        for (std::vector<Move>& moves : moves_) {
            for (Move& move : moves) {
                Cluster& from = clusters_[move.from];
                Cluster& to = clusters_[move.to];
                Member m = move.member;
                from.Add(m, -1);
                to.Add(m, 1);
                to.Keep(&m, m.upper_base, m.lower_base);
                to.members.push_back(m);
            }
            moved += moves.size();
        }
        return moved;
    }

    const u32 count_;
    std::vector<Cluster> clusters_;
    std::vector<double> gaps_;  // squared distances between centres
    std::vector<std::pair<double, u32>> neighbours_;
    std::vector<u32> moving_;
    bool gaps_known_ = false;
    WorkerTeam team_;
    std::atomic<u32> next_cluster_{0};
    std::vector<std::vector<Move>> moves_;  // per team member
};

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
    KMeansRefiner refiner(histogram, initial, count, std::min(WorkerThreadCount(), count));
    refiner.Run();
    refiner.Write(result);
    return count;
}

}  // namespace pirn
