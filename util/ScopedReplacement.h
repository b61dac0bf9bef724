// A test's replacement for something the library reaches through a slot (a
// pointer that is null while the library's own is in use): in place for the
// rest of the scope, the slot's earlier value back at its end.
#ifndef QOR_UTIL_SCOPEDREPLACEMENT_H
#define QOR_UTIL_SCOPEDREPLACEMENT_H

namespace qor {

// Tests only: puts replacement in *Slot for the rest of its scope.
template <typename T, T** Slot>
class ScopedReplacement {
public:
    explicit ScopedReplacement(T& replacement) : previous_(*Slot) { *Slot = &replacement; }
    ~ScopedReplacement() { *Slot = previous_; }
    ScopedReplacement(const ScopedReplacement&) = delete;
    ScopedReplacement& operator=(const ScopedReplacement&) = delete;

private:
    T* previous_;
};

}  // namespace qor

#endif
