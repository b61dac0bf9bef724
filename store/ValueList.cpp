#include "store/ValueList.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace qor::store {
namespace {

constexpr std::size_t kMaxBuffer = std::numeric_limits<std::uint32_t>::max();

void AppendLength(std::string& out, std::size_t length) {
    while (length >= 0x80) {
        out += static_cast<char>((length & 0x7F) | 0x80);
        length >>= 7;
    }
    out += static_cast<char>(length);
}

std::size_t ReadLength(const std::string& in, std::size_t& at) {
    std::size_t length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(in[at++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return length;
    }
}

std::size_t LengthSize(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) ++bytes;
    return bytes;
}

bool Overlaps(std::string_view part, const std::string& buffer) {
    const char* begin = buffer.data();
    return part.data() >= begin && part.data() < begin + buffer.size();
}

}  // namespace

ValueList::Entry ValueList::Decode(std::uint32_t offset) const {
    std::size_t at = offset;
    const std::size_t nameLength = ReadLength(records_, at);
    const std::size_t textLength = ReadLength(records_, at);
    const std::string_view all(records_);
    return Entry{all.substr(at, nameLength), all.substr(at + nameLength, textLength)};
}

std::size_t ValueList::RecordSize(std::uint32_t offset) const {
    const Entry entry = Decode(offset);
    return LengthSize(entry.name.size()) + LengthSize(entry.text.size()) + entry.name.size() + entry.text.size();
}

std::vector<std::uint32_t>::iterator ValueList::LowerBound(std::string_view name) {
    return std::lower_bound(index_.begin(), index_.end(), name,
                            [this](std::uint32_t offset, std::string_view wanted) { return Decode(offset).name < wanted; });
}

std::vector<std::uint32_t>::const_iterator ValueList::LowerBound(std::string_view name) const {
    return std::lower_bound(index_.begin(), index_.end(), name,
                            [this](std::uint32_t offset, std::string_view wanted) { return Decode(offset).name < wanted; });
}

std::optional<std::string_view> ValueList::Find(std::string_view name) const {
    const auto it = LowerBound(name);
    if (it == index_.end()) return std::nullopt;
    const Entry entry = Decode(*it);
    if (entry.name != name) return std::nullopt;
    return entry.text;
}

std::uint32_t ValueList::AppendRecord(std::string_view name, std::string_view text) {
    // The texts may point into this buffer (a value copied within its key);
    // growing the buffer would move them, so such texts are copied first.
    if (Overlaps(name, records_) || Overlaps(text, records_)) {
        const std::string nameCopy(name), textCopy(text);
        return AppendRecord(nameCopy, textCopy);
    }
    const std::size_t size = LengthSize(name.size()) + LengthSize(text.size()) + name.size() + text.size();
    if (records_.size() + size > kMaxBuffer && unused_ > 0) Compact();
    if (records_.size() + size > kMaxBuffer) throw std::length_error("the values of one key exceed 4 GiB");
    const auto offset = static_cast<std::uint32_t>(records_.size());
    AppendLength(records_, name.size());
    AppendLength(records_, text.size());
    records_.append(name).append(text);
    return offset;
}

void ValueList::DropRecord(std::uint32_t offset) {
    unused_ += static_cast<std::uint32_t>(RecordSize(offset));
}

void ValueList::Set(std::string_view name, std::string_view text) {
    const auto it = LowerBound(name);
    if (it != index_.end() && Decode(*it).name == name) {
        const Entry old = Decode(*it);
        if (old.text.size() == text.size()) {
            std::memmove(records_.data() + (old.text.data() - records_.data()), text.data(), text.size());
            return;
        }
        const std::uint32_t offset = AppendRecord(name, text);
        DropRecord(*it);
        *it = offset;
        CompactIfWasteful();
        return;
    }
    const std::size_t position = static_cast<std::size_t>(it - index_.begin());
    const std::uint32_t offset = AppendRecord(name, text);
    index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(position), offset);
}

bool ValueList::Remove(std::string_view name) {
    const auto it = LowerBound(name);
    if (it == index_.end() || Decode(*it).name != name) return false;
    DropRecord(*it);
    index_.erase(it);
    if (index_.empty()) {
        std::string().swap(records_);
        std::vector<std::uint32_t>().swap(index_);
        unused_ = 0;
    } else {
        CompactIfWasteful();
    }
    return true;
}

void ValueList::CompactIfWasteful() {
    // Small lists are left alone: rewriting them would save next to nothing.
    if (unused_ >= 256 && unused_ > records_.size() / 2) Compact();
}

void ValueList::Compact() {
    std::string packed;
    packed.reserve(records_.size() - unused_);
    for (std::uint32_t& offset : index_) {
        const std::size_t size = RecordSize(offset);
        const auto moved = static_cast<std::uint32_t>(packed.size());
        packed.append(records_, offset, size);
        offset = moved;
    }
    records_.swap(packed);
    unused_ = 0;
}

void ValueList::Append(std::string_view name, std::string_view text) {
    index_.push_back(AppendRecord(name, text));
    unfinished_ = true;
}

bool ValueList::InNameOrder() const {
    for (std::size_t i = 1; i < index_.size(); ++i) {
        if (!(Decode(index_[i - 1]).name < Decode(index_[i]).name)) return false;
    }
    return true;
}

void ValueList::KeepLastOfEachName() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < index_.size(); ++i) {
        const bool replacedLater = i + 1 < index_.size() && Decode(index_[i]).name == Decode(index_[i + 1]).name;
        if (replacedLater) {
            DropRecord(index_[i]);
        } else {
            index_[kept++] = index_[i];
        }
    }
    index_.resize(kept);
}

void ValueList::Finish() noexcept {
    unfinished_ = false;
    if (!InNameOrder()) {
        // Stable, so that of two values of one name the later stays last.
        std::stable_sort(index_.begin(), index_.end(),
                         [this](std::uint32_t a, std::uint32_t b) { return Decode(a).name < Decode(b).name; });
        KeepLastOfEachName();
    }
    try {
        if (unused_ > 0) {
            Compact();
        } else {
            records_.shrink_to_fit();
        }
        index_.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        // Giving memory back is an optimisation; the list is complete without it.
    }
}

}  // namespace qor::store
