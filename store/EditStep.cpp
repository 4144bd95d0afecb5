#include "store/EditStep.h"

namespace {

// 5000 as "5,000".
std::string Grouped(size_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

struct Count {
    size_t added = 0;
    size_t deleted = 0;
    size_t edited = 0;
    size_t Total() const { return added + deleted + edited; }
};

template <class T> Count CountOf(const ChangeSet& set) {
    Count count;
    for (const RecordChange<T>& c : set.Of<T>()) {
        ++(c.before && c.after ? count.edited : c.before ? count.deleted : count.added);
    }
    return count;
}

std::string Named(const Count& count, const char* one, const char* many) {
    const char* verb = count.edited == count.Total()    ? "Edit"
                       : count.deleted == count.Total() ? "Delete"
                       : count.added == count.Total()   ? "Add"
                                                        : "Change";
    if (count.Total() == 1) {
        return std::string(verb) + " " + one;
    }
    return std::string(verb) + " " + Grouped(count.Total()) + " " + many;
}

// Named after the first kind of record it touched, customers, resources and types first: a
// customer's delete takes bookings with it, not the other way round.
std::string NameOf(const ChangeSet& set) {
    if (Count c = CountOf<ClsCustomer>(set); c.Total() > 0) {
        return Named(c, "customer", "customers");
    }
    if (Count c = CountOf<ClsResource>(set); c.Total() > 0) {
        return Named(c, "resource", "resources");
    }
    if (Count c = CountOf<ClsType>(set); c.Total() > 0) {
        return Named(c, "appointment type", "appointment types");
    }
    if (Count c = CountOf<ClsAppointment>(set); c.Total() > 0 || set.series.empty()) {
        return Named(c, "appointment", "appointments");
    }
    return "Change series";
}

template <class T> void Keep(const std::vector<RecordChange<T>>& changes, EditStep::Kind<T>& kind) {
    size_t before = 0;
    size_t after = 0;
    for (const RecordChange<T>& c : changes) {
        before += c.before ? 1 : 0;
        after += c.after ? 1 : 0;
    }
    kind.before.records.reserve(before);
    kind.before.orders.reserve(before);
    kind.after.records.reserve(after);
    kind.after.orders.reserve(after);
    for (const RecordChange<T>& c : changes) {
        if (c.before) {
            kind.before.records.push_back(*c.before);
            kind.before.orders.push_back(c.beforeOrder);
        }
        if (c.after) {
            kind.after.records.push_back(*c.after);
            kind.after.orders.push_back(c.afterOrder);
        }
    }
}

template <class T> size_t BytesOf(const EditStep::Kind<T>& kind) {
    return (kind.before.records.capacity() + kind.after.records.capacity()) * sizeof(T) +
           (kind.before.orders.capacity() + kind.after.orders.capacity()) * sizeof(uint64_t);
}

} // namespace

EditStep::EditStep(const ChangeSet& set)
    : series_(set.series), counter_(set.counter), counterFrom_(set.counterFrom),
      counterTo_(set.counterTo), records_(set.Records()),
      what_(set.what.empty() ? NameOf(set) : set.what) {
    Keep(set.resources, std::get<Kind<ClsResource>>(kinds_));
    Keep(set.customers, std::get<Kind<ClsCustomer>>(kinds_));
    Keep(set.types, std::get<Kind<ClsType>>(kinds_));
    Keep(set.appointments, std::get<Kind<ClsAppointment>>(kinds_));
}

size_t EditStep::Bytes() const {
    size_t n = sizeof(*this) + what_.capacity() + series_.capacity() * sizeof(SeriesChange);
    std::apply([&](const auto&... kind) { ((n += BytesOf(kind)), ...); }, kinds_);
    return n;
}
