// The sub-key name list of a CRegExt: a doubly linked list of fixed-size
// name nodes, indexed in the order they were appended.

#include "regext/KeyHandles.h"
#include "util/FixedText.h"

namespace qor::regext {

namespace {

SubKeyNode* NewNode(std::string_view name, DWORD index) {
    auto* node = new SubKeyNode;
    if (!CopyFixed(node->szName, name)) {
        delete node;
        return nullptr;
    }
    node->dwIndex = index;
    node->pNext = nullptr;
    node->pPrev = nullptr;
    return node;
}

// pWalk is kept at the tail, so appending a run of names does not walk
// the whole list for each one.
SubKeyNode* Tail(SubKeyList& list) {
    SubKeyNode* node = list.pWalk != nullptr ? list.pWalk : list.pHead;
    while (node->pNext != nullptr) node = node->pNext;
    return node;
}

}  // namespace

bool AppendName(SubKeyList& list, std::string_view name) {
    SubKeyNode* node = NewNode(name, static_cast<DWORD>(list.nCount));
    if (node == nullptr) return false;
    if (list.pHead == nullptr) {
        list.pHead = node;
    } else {
        SubKeyNode* tail = Tail(list);
        tail->pNext = node;
        node->pPrev = tail;
    }
    list.pWalk = node;
    list.pCurrent = node;
    ++list.nCount;
    return true;
}

SubKeyNode* FindByIndex(SubKeyList& list, DWORD index) {
    // Indexes ascend along the list, so a search for an index at or after
    // the last one found may start there; enumerating in order stays linear.
    SubKeyNode* node = list.pHead;
    if (list.pCurrent != nullptr && list.pCurrent->dwIndex <= index) node = list.pCurrent;
    for (; node != nullptr; node = node->pNext) {
        if (node->dwIndex == index) {
            list.pCurrent = node;
            return node;
        }
    }
    return nullptr;
}

void ClearList(SubKeyList& list) {
    while (list.pHead != nullptr) {
        SubKeyNode* next = list.pHead->pNext;
        delete list.pHead;
        list.pHead = next;
        if (next != nullptr) next->pPrev = nullptr;
    }
    list.nCount = 0;
    list.pCurrent = nullptr;
    list.pWalk = nullptr;
}

void CopyList(SubKeyList& to, const SubKeyList& from) {
    to = SubKeyList{0, nullptr, nullptr, nullptr};
    SubKeyNode* last = nullptr;
    for (const SubKeyNode* source = from.pHead; source != nullptr; source = source->pNext) {
        auto* node = new SubKeyNode(*source);
        node->pNext = nullptr;
        node->pPrev = last;
        if (last == nullptr) {
            to.pHead = node;
        } else {
            last->pNext = node;
        }
        if (source == from.pCurrent) to.pCurrent = node;
        if (source == from.pWalk) to.pWalk = node;
        last = node;
    }
    to.nCount = from.nCount;
}

}  // namespace qor::regext
