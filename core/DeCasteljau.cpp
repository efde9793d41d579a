#include "core/DeCasteljau.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

namespace decasteljau {

namespace {

// Parameters evaluated side by side: one 512-bit register, two 256-bit or
// four 128-bit ones. Each lane is an independent evaluation.
constexpr std::size_t kLanes = 8;
typedef double Lanes __attribute__((vector_size(kLanes * sizeof(double))));
// Half the lanes, one 256-bit register. Without 512-bit registers GCC moves
// the halves of every whole-group entry through the stack (about four
// instructions an interpolation); run half a group at a time, the triangle
// stays in registers and loads.
typedef double HalfLanes __attribute__((vector_size(kLanes / 2 * sizeof(double))));

// Working storage of one thread, aligned for the widest vector loads (the
// type's own alignment is that of the baseline processor's vectors).
constexpr std::size_t kAlignment = 64;
class Work {
public:
    explicit Work(std::size_t n) : m_storage(n * kLanes + kAlignment / sizeof(double))
    {
        void* p = m_storage.data();
        std::size_t space = m_storage.size() * sizeof(double);
        m_data = static_cast<double*>(std::align(kAlignment, n * sizeof(Lanes), p, space));
    }
    // Room for n entries of up to kLanes doubles.
    double* Data() const { return m_data; }

private:
    std::vector<double> m_storage;
    double* m_data;
};

// Below this many lane-group interpolations (one (W[j] * u) + (W[j+1] * t)
// for kLanes parameters) a batch stays on the calling thread: starting a
// thread costs more than it saves.
constexpr std::size_t kMinWorkPerThread = 150000;

std::atomic<unsigned> g_maxThreads{0};

struct Batch {
    const double* coords[3];  // x, y and z of the controls, each n values
    bool zero[3];             // a component that is +0 in every control point
    bool keep[3];             // a component left as it is in `out`
    std::size_t n;
    const double* t;
    const double* u;
    CVector3* out;
};

// One component of one group of parameters. Two levels of the triangle are
// done per sweep (level k's values are formed just before level k - 1 needs
// them), which halves the memory traffic and changes no operation: each
// entry is still (left * u) + (right * t) of the same two entries of the
// level above it.
template <typename V>
[[gnu::always_inline]] inline void Triangle(const double* c, std::size_t n, V t, V u, V* w)
{
    constexpr std::size_t width = sizeof(V) / sizeof(double);
    for (std::size_t j = 0; j < n; ++j) {
        V v;
        for (std::size_t l = 0; l < width; ++l)
            v[l] = c[j];
        w[j] = v;
    }
    std::size_t k = n - 1;
    for (; k >= 2; k -= 2) {
        // Level k: a[j] = (w[j] * u) + (w[j + 1] * t), j < k.
        // Level k - 1: w[j] = (a[j] * u) + (a[j + 1] * t), j < k - 1.
        V right = w[1];
        V prev = w[0] * u + right * t;
        for (std::size_t j = 0; j + 1 < k; ++j) {
            const V further = w[j + 2];
            const V next = right * u + further * t;
            w[j] = prev * u + next * t;
            prev = next;
            right = further;
        }
    }
    if (k == 1)
        w[0] = w[0] * u + w[1] * t;
}

// One component of one group, V-wide pieces of it one after the other, into result[0 .. kLanes).
template <typename V>
[[gnu::always_inline]] inline void GroupComponent(const double* c, std::size_t n, const double* ts,
                                                  const double* us, double* work, double* result)
{
    V* w = reinterpret_cast<V*>(work);
    for (std::size_t piece = 0; piece < kLanes; piece += sizeof(V) / sizeof(double)) {
        V t, u;
        std::memcpy(&t, ts + piece, sizeof t);
        std::memcpy(&u, us + piece, sizeof u);
        Triangle(c, n, t, u, w);
        std::memcpy(result + piece, &w[0], sizeof(V));
    }
}

template <typename V>
[[gnu::always_inline]] inline void RunGroups(const Batch& b, std::size_t first, std::size_t end,
                                             double* work)
{
    for (std::size_t i = first; i < end; i += kLanes) {
        const std::size_t lanes = std::min(kLanes, end - i);
        // Unused lanes evaluate at t = 0; their results are dropped.
        double ts[kLanes], us[kLanes];
        for (std::size_t l = 0; l < kLanes; ++l) {
            ts[l] = l < lanes ? b.t[i + l] : 0.0;
            us[l] = l < lanes ? b.u[i + l] : 1.0;
        }
        for (int c = 0; c < 3; ++c) {
            if (b.keep[c])
                continue;
            if (b.zero[c]) {
                for (std::size_t l = 0; l < lanes; ++l)
                    b.out[i + l].Component(c) = 0.0;
                continue;
            }
            double result[kLanes];
            GroupComponent<V>(b.coords[c], b.n, ts, us, work, result);
            for (std::size_t l = 0; l < lanes; ++l)
                b.out[i + l].Component(c) = result[l];
        }
    }
}

// The same code compiled for the vector units a processor may have; no
// variant enables contraction into fused multiply-adds (-ffp-contract=off
// holds for all of them), so all give the same bits.
using GroupsFn = void (*)(const Batch&, std::size_t, std::size_t, double*);

void RunGroupsBaseline(const Batch& b, std::size_t first, std::size_t end, double* work)
{
    RunGroups<HalfLanes>(b, first, end, work);
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void RunGroupsAvx2(const Batch& b, std::size_t first,
                                                   std::size_t end, double* work)
{
    RunGroups<HalfLanes>(b, first, end, work);
}

__attribute__((target("avx512f"))) void RunGroupsAvx512(const Batch& b, std::size_t first,
                                                       std::size_t end, double* work)
{
    RunGroups<Lanes>(b, first, end, work);
}
#endif

GroupsFn ChooseGroups()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return RunGroupsAvx512;
    if (__builtin_cpu_supports("avx2"))
        return RunGroupsAvx2;
#endif
    return RunGroupsBaseline;
}

unsigned MaxThreads()
{
    const unsigned configured = g_maxThreads.load(std::memory_order_relaxed);
    if (configured != 0)
        return configured;
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, 8u);
}

bool IsPositiveZero(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits == 0;
}

} // namespace

void SetMaxThreads(unsigned threads)
{
    g_maxThreads.store(threads, std::memory_order_relaxed);
}

void EvaluateMany(const std::vector<CVector3>& controls, const double* t, const double* u,
                  std::size_t count, CVector3* out, unsigned components)
{
    const std::size_t n = controls.size();
    if (n == 0 || count == 0)
        return;
    static const GroupsFn runGroups = ChooseGroups();

    std::vector<double> coords(3 * n);
    Batch b{};
    for (int c = 0; c < 3; ++c) {
        double* dst = coords.data() + c * n;
        bool zero = true;
        for (std::size_t i = 0; i < n; ++i) {
            const CVector3& p = controls[i];
            dst[i] = c == 0 ? p.x : c == 1 ? p.y : p.z;
            zero = zero && IsPositiveZero(dst[i]);
        }
        b.coords[c] = dst;
        // With every control +0 each interpolation adds two products of +0
        // with finite factors, at least one of them +0: the sum is +0.
        b.zero[c] = zero;
        b.keep[c] = (components & (1u << c)) == 0;
    }
    b.n = n;
    b.t = t;
    b.u = u;
    b.out = out;

    const std::size_t groups = (count + kLanes - 1) / kLanes;
    int computed = 0;
    for (int c = 0; c < 3; ++c)
        computed += !b.zero[c] && !b.keep[c];
    const std::size_t perGroup = n * (n - 1) / 2 * static_cast<std::size_t>(computed);
    std::size_t threads = std::min<std::size_t>(MaxThreads(), groups);
    if (perGroup == 0 || groups * perGroup < 2 * kMinWorkPerThread)
        threads = 1;
    else
        threads = std::min(threads, groups * perGroup / kMinWorkPerThread);

    // Each thread takes a contiguous run of whole groups.
    auto rangeOf = [&](std::size_t index) {
        const std::size_t firstGroup = groups * index / threads;
        const std::size_t endGroup = groups * (index + 1) / threads;
        return std::make_pair(firstGroup * kLanes, std::min(count, endGroup * kLanes));
    };
    std::vector<std::thread> helpers;
    std::size_t started = 1;
    for (std::size_t index = 1; index < threads; ++index) {
        const auto [first, end] = rangeOf(index);
        try {
            helpers.emplace_back([&b, first = first, end = end, n] {
                const Work work(n);
                runGroups(b, first, end, work.Data());
            });
            ++started;
        } catch (const std::system_error&) {
            break;  // no thread to be had: the calling thread does the rest
        }
    }
    const Work work(n);
    runGroups(b, rangeOf(0).first, rangeOf(0).second, work.Data());
    for (std::size_t index = started; index < threads; ++index)
        runGroups(b, rangeOf(index).first, rangeOf(index).second, work.Data());
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace decasteljau
