// CRegExt programs, function-table programs and qorreg runs changing one
// store file, each in a process of its own. A program here runs one step at
// a time as the test sends it over a pipe, so the order of steps is fixed.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "CRegExt.h"
#include "CStoreFileLock.h"
#include "QorFunctionTable.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

constexpr const char* kDocScan = "SOFTWARE\\ORVANE CORP\\DOCSCAN";

enum class Facade { Class, Table };

std::vector<std::string> FieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

// One program's steps, each a tab-separated line; sub-keys lie below HKEY_CURRENT_USER.
class Steps {
public:
    Steps(Facade facade, std::string path) : facade_(facade), path_(std::move(path)) {
        Free();  // a store the test process held before the fork is not this program's
    }

    int Run(const std::vector<std::string>& step) {
        const std::string& verb = step[0];
        const bool byClass = facade_ == Facade::Class;
        if (verb == "load") return byClass ? CRegExt::Load(path_.c_str()) : table_->pfnLoad(&root_, path_.c_str());
        if (verb == "save") return byClass ? CRegExt::Save(path_.c_str()) : table_->pfnSave(&root_, path_.c_str());
        if (verb == "set") return Set(step[1], step[2], step[3]);
        if (verb == "delete key") return DeleteKey(step[1]);
        if (verb == "free") return Free(), 1;
        if (verb == "lock") return (lock_ = std::make_unique<CStoreFileLock>(path_.c_str(), 10000u))->IsLocked();
        if (verb == "unlock") return lock_.reset(), 1;
        return -1;
    }

private:
    void Free() {
        CRegExt().Delete();
        table_->pfnFreeStore();
        table_->pfnInitHandle(&root_);
    }
    int Set(const std::string& sub, const std::string& name, const std::string& data) {
        if (facade_ == Facade::Class) {
            CRegExt key;
            return key.CreateKey(sub.c_str(), "HKEY_CURRENT_USER", KEY_ALL_ACCESS) == 1 &&
                   key.SetString(data.c_str(), name.c_str()) == 1;
        }
        tagRegHandle key;
        return table_->pfnCreateKey(("HKEY_CURRENT_USER\\" + sub).c_str(), &key, &root_, KEY_ALL_ACCESS) == 1 &&
               table_->pfnSetString(&key, data.c_str(), name.c_str()) == 1;
    }
    int DeleteKey(const std::string& sub) {
        if (facade_ == Facade::Class) return CRegExt().DeleteKey("HKEY_CURRENT_USER", sub.c_str());
        tagRegHandle key;
        return table_->pfnOpen(HKEY_CURRENT_USER, sub.c_str(), KEY_ALL_ACCESS, &key) == ERROR_SUCCESS &&
               table_->pfnDeleteKeyEx(&key, "") == 1;
    }

    Facade facade_;
    std::string path_;
    const UI_FunctionTable* table_ = UI_GetQorFunctionTable();
    tagRegHandle root_;
    std::unique_ptr<CStoreFileLock> lock_;
};

class Program {
public:
    Program(Facade facade, const std::string& path) {
        int steps[2], results[2];
        if (::pipe(steps) != 0 || ::pipe(results) != 0) return;
        pid_ = StartChild(
            [&] {
                ::close(steps[1]);
                ::close(results[0]);
                Steps program(facade, path);
                for (std::string line; ReadLine(steps[0], line);) {
                    const std::string result = std::to_string(program.Run(FieldsOf(line))) + "\n";
                    if (::write(results[1], result.data(), result.size()) != static_cast<ssize_t>(result.size()))
                        return 3;
                }
                return 0;
            },
            30);
        ::close(steps[0]);
        ::close(results[1]);
        to_ = steps[1];
        from_ = results[0];
    }
    ~Program() {
        ::close(to_);
        ::close(from_);
        if (pid_ > 0) WaitChild(pid_);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void Send(const std::string& step) {
        const std::string line = step + "\n";
        ASSERT_EQ(::write(to_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    int Result() {
        std::string line;
        return ReadLine(from_, line) ? std::stoi(line) : -2;
    }
    int Do(const std::string& step) {
        Send(step);
        return Result();
    }

private:
    static bool ReadLine(int fd, std::string& line) {
        line.clear();
        for (char c; ::read(fd, &c, 1) == 1;) {
            if (c == '\n') return true;
            line += c;
        }
        return false;
    }

    pid_t pid_ = -1;
    int to_ = -1, from_ = -1;
};

bool HaveQorreg() { return std::getenv("QOR_QORREG") != nullptr; }

// A copy of the example store in folder: its path.
std::string ExampleStoreIn(const ScratchFolder& folder) {
    const std::string path = folder.File("root.ini");
    WriteBytes(path, ReadBytes(std::string(std::getenv("QOR_TEST_DATA")) + "/root.ini"));
    return path;
}

int Qorreg(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(QorregCommand(args));
    return pid > 0 ? WaitChild(pid).code : -1;
}

std::string Value(CIniClass& store, const std::string& sub, const char* name) {
    return testkit::ValueOf(store, ("HKEY_CURRENT_USER\\" + sub).c_str(), name);
}

// The steps of a scenario: who does what, in this order. A: one program, H:
// another holding the writers' lock, Q: a qorreg run; "A&" sends A's step
// without waiting, "A?" waits for it.
struct Step {
    const char* who;
    std::string what;
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::pair<const char*, std::string>> expected;  // values of kDocScan
};

std::string Join(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
    return line;
}

std::string Set(const std::string& sub, const std::string& name, const std::string& data) {
    return Join({"set", sub, name, data});
}

const std::vector<Scenario>& Scenarios() {
    const std::string docScan = kDocScan;
    static const std::vector<Scenario> scenarios = {
        {"qorreg changes X while A holds the store; A changes Y",
         {{"A", "load"},
          {"Q", Join({"add", "HKCU\\" + docScan, "-v", "X", "-d", "qx"})},
          {"A", Set(docScan, "Y", "ay")},
          {"A", "save"}},
         {{"X", "<string>qx"}, {"Y", "<string>ay"}}},
        {"another process holds the lock, changes X and saves while A's save waits",
         {{"A", "load"},
          {"A", Set(docScan, "Y", "ay")},
          {"H", "lock"},
          {"H", "load"},
          {"H", Set(docScan, "X", "hx")},
          {"A&", "save"},
          {"H", "save"},
          {"H", "unlock"},
          {"A?", ""}},
         {{"X", "<string>hx"}, {"Y", "<string>ay"}}},
    };
    return scenarios;
}

void RunScenario(const Scenario& scenario, Facade a, Facade b) {
    ScratchFolder folder;
    const std::string path = ExampleStoreIn(folder);
    Program first(a, path), holder(b, path);
    for (const Step& step : scenario.steps) {
        SCOPED_TRACE(std::string(step.who) + ": " + step.what);
        const std::string who = step.who;
        if (who == "Q") {
            std::vector<std::string> args = {"-f", path};
            for (const std::string& field : FieldsOf(step.what)) args.push_back(field);
            ASSERT_EQ(Qorreg(args), 0);
        } else if (who == "A&") {
            first.Send(step.what);
        } else if (who == "A?") {
            ASSERT_EQ(first.Result(), 1);
        } else {
            ASSERT_EQ((who == "A" ? first : holder).Do(step.what), 1);
        }
    }
    CIniClass saved;
    ASSERT_EQ(saved.LoadFile(path.c_str()), 1);
    for (const auto& [name, text] : scenario.expected) EXPECT_EQ(Value(saved, kDocScan, name), text) << name;
}

TEST(SaveMerge, ScenariosKeepEveryChangeThroughEachFacadeAndMixed) {
    if (!HaveQorreg()) GTEST_SKIP() << "QOR_QORREG names no qorreg program";
    const std::pair<Facade, Facade> pairs[] = {{Facade::Class, Facade::Class},
                                               {Facade::Table, Facade::Table},
                                               {Facade::Class, Facade::Table},
                                               {Facade::Table, Facade::Class}};
    for (const Scenario& scenario : Scenarios()) {
        for (const auto& [a, b] : pairs) {
            SCOPED_TRACE(std::string(scenario.name) + (a == Facade::Class ? " / class" : " / table") +
                         (b == Facade::Class ? " + class" : " + table"));
            RunScenario(scenario, a, b);
        }
    }
}

// Six writers, 50 rounds each: a CRegExt and a table program that load in every round, one of each
// that load once, two that run qorreg (one value a run). Each sets three values of its own and
// deletes or adds back a key of its own per round; a reader meanwhile loads the file again and again.
TEST(SaveMerge, StressRunOfSixWritersLosesNothing) {
    if (!HaveQorreg()) GTEST_SKIP() << "QOR_QORREG names no qorreg program";
    constexpr int kRounds = 50;
    ScratchFolder folder;
    const std::string path = ExampleStoreIn(folder);
    const auto own = [](int writer) { return std::string("SOFTWARE\\STRESS\\W") + std::to_string(writer); };
    const auto toggled = [&own](int writer) { return own(writer) + "\\T"; };
    // A round leaves V0..V2 holding the round, and T after even rounds only (the last deletes it).
    const auto program = [&](int writer, Facade facade, bool reload) {
        return [&, writer, facade, reload] {
            std::minstd_rand random(static_cast<unsigned>(writer) + 1);
            Steps steps(facade, path);
            for (int round = 0; round < kRounds; ++round) {
                if ((reload || round == 0) && steps.Run({"load"}) != 1) return 10;
                ::usleep(random() % 2000);
                for (int v = 0; v < 3; ++v) {
                    if (steps.Run({"set", own(writer), "V" + std::to_string(v), std::to_string(round)}) != 1) return 11;
                }
                const bool add = round % 2 == 0;
                if (steps.Run(add ? std::vector<std::string>{"set", toggled(writer), "V", "t"}
                                  : std::vector<std::string>{"delete key", toggled(writer)}) != 1 &&
                    add) {
                    return 12;
                }
                if (steps.Run({"save"}) != 1) return 13;
                if (reload) steps.Run({"free"});
                ::usleep(random() % 2000);
            }
            return 0;
        };
    };
    const auto qorreg = [&](int writer) {
        return [&, writer] {
            std::minstd_rand random(static_cast<unsigned>(writer) + 1);
            const std::string key = "HKCU\\" + own(writer);
            for (int round = 0; round < kRounds; ++round) {
                const std::vector<std::string> args = {
                    "-f",     path, "add", key, "-v", "V" + std::to_string(round % 3), "-d", std::to_string(round),
                    "--wait", "60"};
                if (Qorreg(args) != 0) return 20;
                const bool add = round % 2 == 0;
                const std::vector<std::string> toggle =
                    add ? std::vector<std::string>{"-f", path, "add", key + "\\T", "-v", "V", "-d", "t", "--wait", "60"}
                        : std::vector<std::string>{"-f", path, "delete", key + "\\T", "--wait", "60"};
                if (Qorreg(toggle) != 0 && add) return 21;
                ::usleep(random() % 2000);
            }
            return 0;
        };
    };
    std::vector<pid_t> writers = {
        StartChild(program(0, Facade::Class, true), 120),
        StartChild(program(1, Facade::Table, true), 120),
        StartChild(program(2, Facade::Class, false), 120),
        StartChild(program(3, Facade::Table, false), 120),
        StartChild(qorreg(4), 120),
        StartChild(qorreg(5), 120),
    };
    int reads = 0, broken = 0;
    for (pid_t writer : writers) {
        int status = 0;
        while (::waitpid(writer, &status, WNOHANG) == 0) {
            CIniClass reader;
            if (reader.IsFileValid(path.c_str()) != 1 || reader.LoadFile(path.c_str()) != 1) ++broken;
            ++reads;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "writer ended with " << (WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status));
    }
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    CIniClass saved;
    ASSERT_EQ(saved.LoadFile(path.c_str()), 1);
    for (int writer = 0; writer < 6; ++writer) {
        SCOPED_TRACE("writer " + std::to_string(writer));
        for (int v = 0; v < 3; ++v) {
            // qorreg writers set V(round % 3) in each round.
            const int last = writer < 4 ? kRounds - 1 : kRounds - 1 - (kRounds - 1 - v) % 3;
            EXPECT_EQ(Value(saved, own(writer), ("V" + std::to_string(v)).c_str()), "<string>" + std::to_string(last));
        }
        EXPECT_EQ(saved.KeyExists(("HKEY_CURRENT_USER\\" + toggled(writer)).c_str()), 0) << "a deleted key came back";
    }
    EXPECT_EQ(Value(saved, kDocScan, "LANGUAGE"), "<string>en-US");
}

}  // namespace
}  // namespace qor::reliability
