#include "CSHBrowseDlg.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "winhelpers/FolderChooserHost.h"

namespace qor::winhelpers {
namespace {

HWND Window(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }
const HWND kOwner = Window(0x10), kDialog = Window(0x20), kTree = Window(0x30);
const HWND kOkButton = Window(0x40), kCheckBox = Window(0x50);
const HICON kIcon = reinterpret_cast<HICON>(0x60);

struct Folder {
    std::optional<std::string> path;
    std::string treeText;
};

// What the user does while the chooser is open.
struct Step {
    enum Kind { kSelect, kSetBox, kMove } kind;
    int value = 0;          // kSelect: the folder's index; kSetBox: the box's state
    HWND window = nullptr;  // kMove: the window that moved
};
Step Select(int folder) { return {Step::kSelect, folder}; }
Step SetBox(int state) { return {Step::kSetBox, state}; }
Step Move(HWND window) { return {Step::kMove, 0, window}; }

// A chooser that plays a script of user steps and records what it is asked.
class ScriptedChooserHost : public FolderChooserHost {
public:
    std::vector<Folder> folders = {{"C:\\Scans", "Scans"}};
    std::vector<Step> steps = {Select(0)};
    bool choose = true, hasTree = true;
    std::string displayName;

    ChooserRequest request;
    std::vector<std::string> selectedPaths, statusTexts, boxLabels;
    std::vector<int> boxStatesSet;
    int iconsSet = 0, boxWidth = 0, boxHeight = 0, boxPlacements = 0, boxState = 0;
    int hooksInstalled = 0, hooksRemoved = 0;
    WindowMovedHandler hook = nullptr, lastHook = nullptr;
    std::vector<std::pair<IMalloc*, void*>> freed;
    IMalloc* lastAllocator = nullptr;
    std::map<const void*, int> references;  // fake shell references and their counts
    bool misusedReference = false;

    IShellFolder* TakeDesktopFolder() override { return static_cast<IShellFolder*>(Take()); }
    IMalloc* TakeAllocator() override { return lastAllocator = static_cast<IMalloc*>(Take()); }
    void RetainDesktopFolder(IShellFolder* desktop) override { Count(desktop, +1); }
    void ReleaseDesktopFolder(IShellFolder* desktop) override { Count(desktop, -1); }
    void RetainAllocator(IMalloc* allocator) override { Count(allocator, +1); }
    void ReleaseAllocator(IMalloc* allocator) override { Count(allocator, -1); }
    void FreeFolder(IMalloc* allocator, void* folder) override { freed.emplace_back(allocator, folder); }
    void LookUpSpecialFolder(HWND, unsigned int) override {}

    ChooserResult RunChooser(const ChooserRequest& r) override {
        request = r;
        r.callback(kDialog, kChooserInitialized, 0, r.data);
        for (const Step& step : steps) {
            if (step.kind == Step::kSelect) {
                selected_ = step.value;
                r.callback(kDialog, kChooserSelectionChanged, reinterpret_cast<MessageValue>(Selected()), r.data);
            } else if (step.kind == Step::kSetBox) {
                boxState = step.value;
            } else if (hook != nullptr) {
                hook(step.window);
            }
        }
        if (!choose || selected_ < 0) return ChooserResult();
        return {Selected(), displayName};
    }
    std::optional<std::string> FileSystemPath(const void* folder) override {
        return static_cast<const Folder*>(folder)->path;
    }
    void SetCaptionIcons(HWND dialog, HICON icon) override { iconsSet += dialog == kDialog && icon == kIcon; }
    void SelectPath(HWND, const char* path) override { selectedPaths.push_back(path); }
    void ShowStatusText(HWND, const char* text) override { statusTexts.push_back(text); }
    HWND FindTree(HWND) override { return hasTree ? kTree : nullptr; }
    std::optional<std::string> SelectedTreeText(HWND tree) override {
        if (tree != kTree || selected_ < 0) return std::nullopt;
        return Selected()->treeText;
    }
    HWND FindOkButton(HWND) override { return kOkButton; }
    int ScrollBarWidth() override { return 17; }
    WindowRect ClientRect(HWND) override { return {0, 0, 400, 300}; }
    WindowRect RectInDialog(HWND window, HWND) override {
        return window == kOkButton ? WindowRect{200, 260, 275, 283} : WindowRect{5, 40, 395, 250};
    }
    void PlaceWindow(HWND window, const WindowRect&, bool redraw) override {
        EXPECT_EQ(redraw, window == kCheckBox);
        boxPlacements += window == kCheckBox;
    }
    HWND CreateCheckBox(HWND, const char* label, int width, int height) override {
        boxLabels.push_back(label);
        boxWidth = width;
        boxHeight = height;
        return kCheckBox;
    }
    void Repaint(HWND) override {}
    void SetCheckState(HWND, int state) override { boxStatesSet.push_back(boxState = state); }
    int ReadCheckState(HWND box) override { return box == kCheckBox ? boxState : 0; }
    bool InstallMoveHook(WindowMovedHandler onMoved) override {
        ++hooksInstalled;
        hook = lastHook = onMoved;
        return true;
    }
    void RemoveMoveHook() override {
        ++hooksRemoved;
        hook = nullptr;
    }

private:
    Folder* Selected() { return &folders[static_cast<std::size_t>(selected_)]; }
    void* Take() {
        void* reference = &slots_[next_++ % sizeof slots_];
        references[reference] += 1;
        return reference;
    }
    void Count(const void* reference, int change) {
        if (references[reference] <= 0) misusedReference = true;
        references[reference] += change;
    }

    int selected_ = -1;
    char slots_[32] = {};
    std::size_t next_ = 0;
};

// Runs one dialog on a scripted chooser.
struct DialogRun {
    explicit DialogRun(tagBrowserInformation* information = nullptr) : information_(information) {}
    int DoModal(const char* initialFolder = nullptr) {
        return dialog.DoModal(initialFolder, "Pick a folder", kIcon, 0x4041, 5, information_);
    }
    ScriptedChooserHost host;
    ScopedHostForTesting<FolderChooserHost> scope{host};
    CSHBrowseDlg dialog{kOwner};

private:
    tagBrowserInformation* information_;
};

TEST(BrowseDialogTest, ResultAndNamesComeFromThePathOrTheShellsName) {
    struct Case {
        bool choose;
        std::optional<std::string> path;
        std::string displayName;
        int result;
        const char* fullPath;
        const char* folderName;
    };
    const Case cases[] = {
        {false, "C:\\Scans", "", 0, "C:\\Scans", "Scans"},  // cancelled: the last selection's names stay
        {true, "C:\\Scans", "Scans on this PC", 1, "C:\\Scans", "Scans on this PC"},
        {true, "C:\\Scans", "", 1, "C:\\Scans", ""},
        {true, std::nullopt, "Network", 1, "", "Network"},  // a virtual folder
        {true, std::nullopt, "", 0, "", ""},
        {true, std::string(300, 'p'), "", 0, "", ""},  // a path that cannot be held is no path
    };
    for (const Case& c : cases) {
        DialogRun run;
        run.host.folders[0].path = c.path;
        run.host.choose = c.choose;
        run.host.displayName = c.displayName;
        EXPECT_EQ(run.DoModal(), c.result) << c.displayName;
        EXPECT_STREQ(run.dialog.GetFullPath(), c.fullPath);
        EXPECT_STREQ(run.dialog.GetFolderName(), c.folderName);
        std::vector<std::pair<IMalloc*, void*>> freed;
        if (c.choose) freed.emplace_back(run.host.lastAllocator, &run.host.folders[0]);
        EXPECT_EQ(run.host.freed, freed);
    }
}

TEST(BrowseDialogTest, DialogIsSetUpAsAskedAndItsStatusShowsThePathElseTheName) {
    const char* const starts[] = {"C:\\Start", "", nullptr};
    for (const char* start : starts) {
        DialogRun run;
        run.host.folders.push_back({std::nullopt, "Network"});
        run.host.steps = {Select(0), Select(1)};
        if (start == nullptr) run.dialog.Setm_hWndOwner(kDialog);  // a new owner for the next run
        run.DoModal(start);
        EXPECT_EQ(run.host.request.owner, start == nullptr ? kDialog : kOwner);
        EXPECT_EQ(run.host.request.flags, 0x4041u);
        EXPECT_EQ(run.host.iconsSet, 1);
        EXPECT_EQ(run.host.selectedPaths.size(), start != nullptr && *start ? 1u : 0u);
        EXPECT_EQ(run.host.statusTexts, (std::vector<std::string>{"C:\\Scans", "Network"}));
    }
}

TEST(BrowseDialogTest, CheckBoxFollowsTheOkButtonWhileTheDialogIsOpen) {
    tagBrowserInformation information{"Include sub-folders", 1};
    DialogRun run(&information);
    run.host.steps = {Move(kTree), Move(kOkButton)};
    run.DoModal();
    EXPECT_EQ(run.host.boxLabels, std::vector<std::string>{"Include sub-folders"});
    EXPECT_EQ(run.host.boxWidth, 366);
    EXPECT_EQ(run.host.boxHeight, 23);
    EXPECT_EQ(run.host.boxStatesSet, std::vector<int>{1});
    EXPECT_EQ(run.host.boxPlacements, 2);  // when made, and when the OK button moved
    EXPECT_EQ(run.host.hooksRemoved, 1);
    run.host.lastHook(kOkButton);  // a late call after the dialog has closed
    EXPECT_EQ(run.host.boxPlacements, 2);
}

TEST(BrowseDialogTest, CheckBoxStateIsTakenAtSelectionChangesOnly) {
    struct Case {
        int initial;
        std::vector<Step> steps;
        int expected;
    };
    const Case cases[] = {
        {1, {SetBox(0), Select(0), SetBox(1)}, 0},  // the change after the last selection is lost
        {0, {SetBox(1), Select(0)}, 1},
        {1, {SetBox(2), Select(0)}, 0},  // indeterminate is not checked
        {0, {SetBox(1)}, 0},             // no selection change, nothing read
    };
    for (const Case& c : cases) {
        tagBrowserInformation information{"Include sub-folders", c.initial};
        DialogRun run(&information);
        run.host.steps = c.steps;
        run.DoModal();
        EXPECT_EQ(information.nCheckBoxState, c.expected) << "steps " << c.steps.size();
    }
}

TEST(BrowseDialogTest, NoCheckBoxWithoutALabelOrATree) {
    tagBrowserInformation emptyLabel{"", 7};
    tagBrowserInformation withLabel{"Keep", 7};
    struct Case {
        tagBrowserInformation* information;
        bool hasTree;
        int hooks;
    };
    const Case cases[] = {{nullptr, true, 0}, {&emptyLabel, true, 0}, {&withLabel, false, 1}};
    for (const Case& c : cases) {
        DialogRun run(c.information);
        run.host.hasTree = c.hasTree;
        run.DoModal();
        EXPECT_TRUE(run.host.boxLabels.empty());
        EXPECT_EQ(run.host.hooksInstalled, c.hooks);
    }
    EXPECT_EQ(emptyLabel.nCheckBoxState, 7);
    EXPECT_EQ(withLabel.nCheckBoxState, 7);
}

TEST(BrowseDialogTest, OverlongTextsAreCutOrRefusedNeverOverflowed) {
    tagBrowserInformation information{std::string(300, 'l').c_str(), 0};
    DialogRun run(&information);
    run.host.folders.push_back({std::string(400, 'p'), std::string(400, 't')});
    run.host.steps = {Select(0), Select(1)};
    run.host.choose = false;
    run.DoModal();
    EXPECT_EQ(run.host.boxLabels, std::vector<std::string>{std::string(259, 'l')});
    EXPECT_EQ(std::string(run.dialog.GetFolderName()), std::string(259, 't'));
    EXPECT_STREQ(run.dialog.GetFullPath(), "");  // not the path of the selection before
}

TEST(BrowseDialogTest, CopiesShareReferencesAndEachIsReleasedOnce) {
    ScriptedChooserHost host;
    ScopedHostForTesting<FolderChooserHost> scope(host);
    host.displayName = "Scans";
    {
        CSHBrowseDlg first(kOwner);
        first.DoModal(nullptr, nullptr, nullptr, 0, 0, nullptr);
        CSHBrowseDlg second;
        second = first;
        EXPECT_EQ(host.references[host.lastAllocator], 0);  // second's own pair is let go
        EXPECT_STREQ(second.GetFullPath(), "C:\\Scans");
        EXPECT_STREQ(second.GetFolderName(), "Scans");
        second = second;
        CSHBrowseDlg third(second);
        third = CSHBrowseDlg();
    }
    EXPECT_EQ(host.references.size(), 6u);  // three dialogs took two each
    for (const auto& [reference, count] : host.references) EXPECT_EQ(count, 0);
    EXPECT_FALSE(host.misusedReference);
}

#if !defined(_WIN32)
TEST(BrowseDialogTest, WithoutAShellEveryChooserIsCancelled) {
    tagBrowserInformation information{"Keep", 1};
    CSHBrowseDlg dialog;
    EXPECT_EQ(dialog.DoModal("/tmp", "Pick", nullptr, 0, 0, &information), 0);
    EXPECT_STREQ(dialog.GetFullPath(), "");
    EXPECT_EQ(information.nCheckBoxState, 1);
}
#endif

}  // namespace
}  // namespace qor::winhelpers
