#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/basSettings.h"
#include "fuzz_check.h"
#include "platform/fake/fake_registry.h"

// A settings key as a fuzz input writes it, one line each:
//
//   <type><name>=<data>   a value: type s REG_SZ, e REG_EXPAND_SZ, m REG_MULTI_SZ,
//                         b REG_BINARY, d REG_DWORD, n REG_NONE; data is every
//                         byte up to the end of the line, NULs included
//   !<fault>[<name>]      r reads of the value fail, t its next read fails,
//                         o opening the key fails, O its next opening fails,
//                         w writes of the value fail, c creating the key fails
//   ><action>             what the target does with the key (each target's own)
//
// Anything else is ignored, so that mutations keep most lines meaningful.
namespace fuzz {

struct SettingsScript {
    struct Value {
        std::string name;
        platform::RegData data;
    };
    std::vector<Value> values;
    std::vector<std::pair<char, std::string>> faults;
    std::vector<std::string> actions;

    bool Has(const std::string& action) const {
        for (const auto& a : actions)
            if (a == action) return true;
        return false;
    }
};

inline SettingsScript ParseSettingsScript(const std::uint8_t* data, std::size_t size) {
    SettingsScript script;
    for (const std::string& line : Lines(data, size)) {
        if (line.empty()) continue;
        if (line[0] == '>') {
            script.actions.push_back(line.substr(1));
        } else if (line[0] == '!') {
            if (line.size() >= 2) script.faults.emplace_back(line[1], line.substr(2));
        } else {
            static const std::map<char, std::uint32_t> kTypes{
                {'s', platform::kRegSz},     {'e', platform::kRegExpandSz}, {'m', platform::kRegMultiSz},
                {'b', platform::kRegBinary}, {'d', platform::kRegDword},    {'n', platform::kRegNone}};
            auto type = kTypes.find(line[0]);
            std::size_t eq = line.find('=');
            if (type == kTypes.end() || eq == std::string::npos) continue;
            script.values.push_back({line.substr(1, eq - 1), {type->second, line.substr(eq + 1)}});
        }
    }
    return script;
}

// Lower case as the registry compares value names.
inline std::string Folded(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A registry holding the script's values in the current user's settings key,
// with its faults. It watches for the loss a failed read can cause: a value
// changed while the last reads of it (those of the latest step that read it
// at all) include one that failed: the read itself, the opening of the key
// it went through, or a type the daemon does not read. Changed means changed
// as the product reads it: the text before a NUL, the elements of a list, the
// run list's positions that are rows; a value of another type, at all.
class ScriptedRegistry : public platform::fake::FakeRegistry {
public:
    static constexpr int kAccessDenied = 5, kNoResources = 1450;

    explicit ScriptedRegistry(const SettingsScript& script) {
        for (const auto& v : script.values)
            Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, v.name, v.data);
        for (const auto& [kind, name] : script.faults) {
            switch (kind) {
                case 'r': failReads_.insert(Folded(name)); break;
                case 't': ++transientReads_[Folded(name)]; break;
                case 'o': failOpens_ = true; break;
                case 'O': ++transientOpens_; break;
                case 'w': failWrites_.insert(Folded(name)); break;
                case 'c': failCreates_ = true; break;
                default: break;
            }
        }
        InjectFaults([this](Call call, const std::string& path, const std::string& name) {
            return Fault(call, path, name);
        });
    }

    // The user's next action (or the load) begins.
    void NextStep() { ++step_; }

    std::error_code Query(const platform::RegKey& key, const std::string& name, platform::RegData& out) override {
        std::error_code ec = FakeRegistry::Query(key, name, out);
        bool failed = (ec && !platform::IsMissing(ec)) || (!ec && out.type != platform::kRegSz);
        Read& r = reads_[Folded(name)];
        if (r.step != step_) r = {step_, false};
        r.failed = r.failed || failed;
        if (!failed) readOnce.insert(Folded(name));
        return ec;
    }

    // Whether the value was asked for and never read.
    bool NeverRead(const std::string& name) const {
        return reads_.count(Folded(name)) && !readOnce.count(Folded(name));
    }

    std::error_code SetValue(const platform::RegKey& key, const std::string& name,
                             const platform::RegData& value) override {
        writing_ = &value;
        std::error_code ec = FakeRegistry::SetValue(key, name, value);
        writing_ = nullptr;
        return ec;
    }

    std::vector<std::string> losses;  // what was written over, and how
    std::set<std::string> readOnce;   // folded names read at least once
    int writes = 0;                   // attempted, failed or not

private:
    int Fault(Call call, const std::string& path, const std::string& name) {
        static const std::string kKey = Folded(basSettings::kSettingsKey);
        if (path != kKey) return 0;
        std::string folded = Folded(name);
        switch (call) {
            case Call::Open: return failOpens_ || (transientOpens_ > 0 && transientOpens_--) ? kAccessDenied : 0;
            case Call::Create: return failCreates_ ? kAccessDenied : 0;
            case Call::Query: {
                if (failReads_.count(folded)) return kAccessDenied;
                auto t = transientReads_.find(folded);
                return t != transientReads_.end() && t->second > 0 && t->second-- ? kNoResources : 0;
            }
            case Call::Set:
            case Call::Delete: {
                ++writes;
                if (failWrites_.count(folded)) return kAccessDenied;
                auto r = reads_.find(folded);
                auto was = Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, name);
                bool same = was && writing_ && View(folded, *was) == View(folded, *writing_);
                if (r != reads_.end() && r->second.failed && was && !same)
                    losses.push_back(Shown(name) + " (type " + std::to_string(was->type) + ") " + Shown(was->data) +
                                     (writing_ ? " written over with " + Shown(writing_->data) : " deleted") +
                                     " after a failed read");
                return 0;
            }
        }
        return 0;
    }

    std::string View(const std::string& folded, const platform::RegData& v) const {
        namespace S = basSettings;
        if (v.type != platform::kRegSz) return std::to_string(v.type) + ":" + v.data;
        std::string text = v.data.substr(0, v.data.find('\0'));
        std::string out;
        if (folded == "runlist" || folded == "stoplist" || folded == "selectedstoplist") {
            for (const auto& e : S::ParseCommaList(text)) out += e + '\n';
        } else if (folded == "selectedlist") {
            auto list = Peek(platform::RootKey::CurrentUser, S::kSettingsKey, S::RunList.name);
            std::string runList = list && list->type == platform::kRegSz ? list->data : std::string();
            size_t rows = S::ParseCommaList(runList.substr(0, runList.find('\0'))).size();
            std::set<std::int32_t> checked;
            for (const auto& e : S::ParseCommaList(text)) {
                auto n = S::ToInt32(e);
                if (n && *n >= 0 && static_cast<size_t>(*n) < rows) checked.insert(*n);
            }
            for (auto n : checked) out += std::to_string(n) + ',';
        } else {
            out = text;
        }
        return out;
    }

    struct Read {
        int step = -1;
        bool failed = false;
    };
    std::map<std::string, Read> reads_;  // the latest step's reads, by folded name
    const platform::RegData* writing_ = nullptr;
    int step_ = 0;

    std::set<std::string> failReads_, failWrites_;
    std::map<std::string, int> transientReads_;
    bool failOpens_ = false, failCreates_ = false;
    int transientOpens_ = 0;
};

}  // namespace fuzz
