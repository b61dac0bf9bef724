// Any sequence of store operations, checked after every step against a
// plain model (ordered maps of strings): the store's packed value lists
// and ordered key ranges must never lose, keep or mix up a key or a value.
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "store/ValueText.h"

namespace {

using qor::fuzz::Check;
using Model = qor::fuzz::Snapshot;

// Texts pass through the C interface: they end at their first NUL.
std::string CText(const std::string& s) { return std::string(s.c_str()); }

void Step(CIniClass& store, Model& model, qor::fuzz::FuzzReader& in) {
    const std::uint8_t op = in.Byte();
    const std::string key = CText(in.Text()), name = CText(in.Text());
    const std::string upperKey = qor::store::Upper(key), upperName = qor::store::Upper(name);
    switch (op % 9) {
        case 0:
        case 1: {
            std::string text = CText(in.Text());
            // Long texts now and then, so that lists outgrow and compact.
            if (op & 0x80) text.append(static_cast<std::size_t>(op) * 37, 'v');
            Check(store.SetValue(key.c_str(), name.c_str(), text.c_str()) == 1, "SetValue failed");
            model[upperKey][upperName] = text;
            break;
        }
        case 2: {
            const bool exists = model.contains(upperKey);
            Check(store.AddKey(key.c_str()) == (exists ? 0 : 1), "AddKey result");
            model[upperKey];
            break;
        }
        case 3: {
            const auto it = model.find(upperKey);
            const bool present = it != model.end() && it->second.erase(upperName) == 1;
            Check(store.RemoveValue(key.c_str(), name.c_str()) == (present ? 1 : 0), "RemoveValue result");
            break;
        }
        case 4:
            store.DeleteSubtree(key.c_str());
            qor::fuzz::EraseTree(model, upperKey);
            break;
        case 5: {
            CString out("unchanged");
            const auto it = model.find(upperKey);
            const bool found = it != model.end() && it->second.contains(upperName);
            Check(store.GetValue(key.c_str(), name.c_str(), out) == (found ? 1 : 0), "GetValue result");
            Check(out.str() == (found ? it->second.at(upperName) : "unchanged"), "GetValue text");
            break;
        }
        case 6: {
            CStringArray list;
            list.Add(CString("earlier"));
            const int n = store.GetSubKeys(key.c_str(), list);
            std::set<std::string> got, want;
            for (int i = 1; i < list.GetSize(); ++i) got.insert(list[i].str());
            for (const auto& entry : model) {
                if (entry.first == upperKey || qor::fuzz::Below(entry.first, upperKey)) want.insert(entry.first);
            }
            Check(n == list.GetSize() && got == want && n == static_cast<int>(want.size()) + 1, "GetSubKeys");
            break;
        }
        case 7: {
            CStringArray lines;
            const auto it = model.find(upperKey);
            const int want = it == model.end() ? 0 : static_cast<int>(it->second.size());
            Check(store.GetValueLines(key.c_str(), lines) == want, "GetValueLines count");
            break;
        }
        default:
            if ((op & 0xF0) == 0xF0) {
                store.RemoveAll();
                model.clear();
            }
            Check(store.KeyExists(key.c_str()) == (model.contains(upperKey) ? 1 : 0), "KeyExists");
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qor::fuzz::FuzzReader in(data, size);
    CIniClass store;
    Model model;
    while (!in.Empty()) Step(store, model, in);
    Check(qor::fuzz::SnapshotOf(store) == model, "the store differs from the model");
    CStringArray all;
    Check(store.GetAllKeys(all) == static_cast<int>(model.size()), "GetAllKeys count");
    return 0;
}
