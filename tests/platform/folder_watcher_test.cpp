#include "platform/folder_watcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <string>
#include <vector>

#include "platform/folder_notifier.h"
#ifdef _WIN32
#include "platform/windows_files.h"
#endif
#include "tests/support/test_support.h"

namespace pirn {
namespace {

using pirn_test::TempDir;
using pirn_test::WriteAll;

struct Report {
    int event;
    std::string name;  // "" for the folder events
    u64 user;
    bool operator==(const Report& o) const {
        return event == o.event && name == o.name && user == o.user;
    }
};

std::ostream& operator<<(std::ostream& out, const Report& r) {
    return out << "{" << r.event << " " << r.name << " " << r.user << "}";
}

// Polls and records every report; new entries get user values 1, 2, 3...
class Recorder {
public:
    std::vector<Report> Poll(FolderWatcherList& list) {
        std::vector<Report> reports;
        PollFolderWatchers(list, [&](FolderWatcher&, int event, const FileInfo&, FolderEntry* entry) {
            if (entry != nullptr && (event == kFileAdded || event == kSubfolderAdded)) {
                entry->user = ++next_user_;
            }
            reports.push_back({event, entry ? entry->name : std::string(), entry ? entry->user : 0});
        });
        return reports;
    }

private:
    u64 next_user_ = 0;
};

// Sets a file's modification time to an exact instant.
void SetModificationTime(const std::string& path, time_t seconds, long nanoseconds) {
#ifdef _WIN32
    // FILETIME: 100 ns ticks since 1601.
    const unsigned long long ticks =
        (static_cast<unsigned long long>(seconds) + 11644473600ULL) * 10000000ULL + nanoseconds / 100;
    FILETIME when{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    HANDLE handle = CreateFileW(WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &when));
    CloseHandle(handle);
#else
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = seconds;
    times[1].tv_nsec = nanoseconds;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
}

TEST(FolderWatcher, DeferredWatcherReportsTheFolderAndEveryEntryOnce) {
    TempDir dir;
    WriteAll(dir.file("b.txt"), std::string("x"));
    WriteAll(dir.file("a.txt"), std::string("x"));
    WriteAll(dir.file("Thumbs.db"), std::string("never reported"));
    WriteAll(dir.file(".DS_Store"), std::string("never reported"));
    ASSERT_TRUE(pirn_test::MakeFolder(dir.file("sub")));
    FolderWatcherList list;
    AddFolderWatcher(list, dir.path(), nullptr, true);
    Recorder recorder;
    EXPECT_EQ(recorder.Poll(list), (std::vector<Report>{{kFolderAppeared, "", 0},
                                                        {kFileAdded, "a.txt", 1},
                                                        {kFileAdded, "b.txt", 2},
                                                        {kSubfolderAdded, "sub", 3}}));
    EXPECT_TRUE(recorder.Poll(list).empty());
    EXPECT_TRUE(list.watchers[0]->exists());
    EXPECT_EQ(list.watchers[0]->snapshot()[0].folder, dir.path() + "/");
}

TEST(FolderWatcher, ImmediateWatcherStartsFromTheCurrentSnapshot) {
    TempDir dir;
    WriteAll(dir.file("a"), std::string("x"));
    FolderWatcherList list;
    FolderWatcher* watcher = AddFolderWatcher(list, dir.path(), nullptr, false);
    EXPECT_TRUE(watcher->exists());
    ASSERT_EQ(watcher->snapshot().size(), 1u);
    Recorder recorder;
    EXPECT_TRUE(recorder.Poll(list).empty());
}

TEST(FolderWatcher, RenameReportsRemovalBeforeAdditionAndDropsTheUserValue) {
    TempDir dir;
    WriteAll(dir.file("old"), std::string("x"));
    WriteAll(dir.file("other"), std::string("x"));
    FolderWatcherList list;
    AddFolderWatcher(list, dir.path(), nullptr, true);
    Recorder recorder;
    recorder.Poll(list);  // old = 1, other = 2
    ASSERT_EQ(std::rename(dir.file("old").c_str(), dir.file("new").c_str()), 0);
    EXPECT_EQ(recorder.Poll(list), (std::vector<Report>{{kFolderChanged, "", 0},
                                                        {kFileRemoved, "old", 1},
                                                        {kFileAdded, "new", 3}}));
}

TEST(FolderWatcher, ChangesWithinOneSecondAreSeenAndCarryTheUserValue) {
    TempDir dir;
    std::string path = dir.file("tag");
    WriteAll(path, std::string("abc"));
    SetModificationTime(path, 1700000000, 100);
    FolderWatcherList list;
    AddFolderWatcher(list, dir.path(), nullptr, true);
    Recorder recorder;
    recorder.Poll(list);
    // Same size, same second, only the nanoseconds differ.
    SetModificationTime(path, 1700000000, 200);
    EXPECT_EQ(recorder.Poll(list),
              (std::vector<Report>{{kFolderChanged, "", 0}, {kFileChanged, "tag", 1}}));
    EXPECT_EQ(list.watchers[0]->snapshot()[0].info.modification_nanoseconds, 200u);
}

TEST(FolderWatcher, NamesEqualInNaturalOrderStayDistinct) {
    TempDir dir;
    for (const char* name : {"A", "a", "x7", "x007"}) WriteAll(dir.file(name), std::string(name));
    FolderWatcherList list;
    AddFolderWatcher(list, dir.path(), nullptr, true);
    Recorder recorder;
    std::vector<Report> first = recorder.Poll(list);
    ASSERT_EQ(first.size(), 5u);  // appeared + four files
    u64 user_of_upper_a = 0;
    for (const Report& r : first) {
        if (r.name == "A") user_of_upper_a = r.user;
    }
    ASSERT_EQ(unlink(dir.file("a").c_str()), 0);
    ASSERT_EQ(unlink(dir.file("x007").c_str()), 0);
    std::vector<Report> second = recorder.Poll(list);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[1].event, kFileRemoved);
    EXPECT_EQ(second[2].event, kFileRemoved);
    EXPECT_NE(second[1].name, "A");
    EXPECT_NE(second[2].name, "x7");
    const std::vector<FolderEntry>& snapshot = list.watchers[0]->snapshot();
    ASSERT_EQ(snapshot.size(), 2u);
    EXPECT_EQ(snapshot[0].name, "A");
    EXPECT_EQ(snapshot[0].user, user_of_upper_a);
    EXPECT_EQ(snapshot[1].name, "x7");

    EXPECT_LT(CompareFolderEntries(&snapshot[0], &snapshot[1]), 0);
    EXPECT_LT(CompareFolderEntries(&snapshot[1], nullptr), 0);  // null entries last
    EXPECT_GT(CompareFolderEntries(nullptr, &snapshot[0]), 0);
    EXPECT_EQ(CompareFolderEntries(nullptr, nullptr), 0);
}

TEST(FolderWatcher, DeletedFolderReportsRemovalsThenGoneAndComesBack) {
    TempDir dir;
    std::string watched = dir.file("local");
    WriteAll(watched + "/f1", std::string("x"));
    ASSERT_TRUE(pirn_test::MakeFolder((watched + "/sub")));
    FolderWatcherList list;
    AddFolderWatcher(list, watched, nullptr, true);
    Recorder recorder;
    recorder.Poll(list);  // f1 = 1, sub = 2

    ASSERT_EQ(unlink((watched + "/f1").c_str()), 0);
    ASSERT_EQ(rmdir((watched + "/sub").c_str()), 0);
    ASSERT_EQ(rmdir(watched.c_str()), 0);
    EXPECT_EQ(recorder.Poll(list), (std::vector<Report>{{kFileRemoved, "f1", 1},
                                                        {kSubfolderRemoved, "sub", 2},
                                                        {kFolderGone, "", 0}}));
    EXPECT_FALSE(list.watchers[0]->exists());
    EXPECT_TRUE(recorder.Poll(list).empty());

    WriteAll(watched + "/g", std::string("x"));
    EXPECT_EQ(recorder.Poll(list),
              (std::vector<Report>{{kFolderAppeared, "", 0}, {kFileAdded, "g", 3}}));
}

TEST(FolderWatcher, FolderReplacedBetweenPollsIsSeenAsGoneThenNew) {
    TempDir dir;
    std::string watched = dir.file("local");
    WriteAll(watched + "/f", std::string("x"));
    FolderWatcherList list;
    AddFolderWatcher(list, watched, nullptr, true);
    Recorder recorder;
    recorder.Poll(list);
    ASSERT_EQ(std::rename(watched.c_str(), dir.file("moved").c_str()), 0);
    WriteAll(watched + "/h", std::string("x"));
    EXPECT_EQ(recorder.Poll(list),
              (std::vector<Report>{{kFileRemoved, "f", 1}, {kFolderGone, "", 0}}));
    EXPECT_EQ(recorder.Poll(list),
              (std::vector<Report>{{kFolderAppeared, "", 0}, {kFileAdded, "h", 2}}));
}

// Only Linux lets a test take away every descriptor.
#ifndef _WIN32
TEST(FolderWatcher, FailedListingKeepsTheOldSnapshot) {
    TempDir dir;
    WriteAll(dir.file("keep"), std::string("x"));
    FolderWatcherList list;
    AddFolderWatcher(list, dir.path(), nullptr, true);
    Recorder recorder;
    recorder.Poll(list);  // keep = 1
    WriteAll(dir.file("later"), std::string("x"));

    // No descriptor can be opened, so the folder cannot be listed.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    std::vector<Report> during = recorder.Poll(list);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);

    EXPECT_EQ(during, (std::vector<Report>{{kFolderChanged, "", 0}}));  // nothing removed
    ASSERT_EQ(list.watchers[0]->snapshot().size(), 1u);
    // The next poll lists again and finds only the real change.
    EXPECT_EQ(recorder.Poll(list),
              (std::vector<Report>{{kFolderChanged, "", 0}, {kFileAdded, "later", 2}}));
}
#endif

TEST(FolderWatcher, PollingFallbackFindsRewritesWithoutNotification) {
    TempDir dir;
    std::string path = dir.file("f");
    WriteAll(path, std::string("abc"));
    SetModificationTime(path, 1600000000, 0);
    FolderNotifier::Instance().SetEnabled(false);
    FolderWatcherList list;
    FolderWatcher* watcher = AddFolderWatcher(list, dir.path(), nullptr, false);
    Recorder recorder;
    std::vector<Report> idle = recorder.Poll(list);
    SetModificationTime(path, 1600000000, 5);  // the folder's own status does not change
    std::vector<Report> after = recorder.Poll(list);
    bool had_notification = watcher->has_notification();
    FolderNotifier::Instance().SetEnabled(true);

    EXPECT_FALSE(had_notification);
    EXPECT_TRUE(idle.empty());
    EXPECT_EQ(after, (std::vector<Report>{{kFolderChanged, "", 0}, {kFileChanged, "f", 0}}));

    // Once notifications work again the watcher takes one and reports
    // only real changes.
    EXPECT_TRUE(recorder.Poll(list).empty());
    EXPECT_TRUE(watcher->has_notification());
    SetModificationTime(path, 1600000000, 9);
    EXPECT_EQ(recorder.Poll(list),
              (std::vector<Report>{{kFolderChanged, "", 0}, {kFileChanged, "f", 0}}));
}

TEST(FolderWatcher, ManyWatchersShareOneNotificationInstance) {
    // More watchers than the usual per-user limit of 128 inotify instances.
    TempDir dir;
    FolderWatcherList list;
    for (int i = 0; i < 160; ++i) {
        std::string folder = dir.file("g" + std::to_string(i));
        ASSERT_TRUE(pirn_test::MakeFolder(folder));
        AddFolderWatcher(list, folder, nullptr, false);
    }
    // A second watcher of the same folder, freed early, must not end the
    // first one's notification.
    FolderWatcherList extra;
    AddFolderWatcher(extra, dir.file("g5"), nullptr, false);
    FreeFolderWatchers(extra);

    for (const auto& watcher : list.watchers) EXPECT_TRUE(watcher->has_notification());
    Recorder recorder;
    EXPECT_TRUE(recorder.Poll(list).empty());
    WriteAll(dir.file("g5/new"), std::string("x"));
    WriteAll(dir.file("g150/new"), std::string("x"));
    EXPECT_EQ(recorder.Poll(list), (std::vector<Report>{{kFolderChanged, "", 0},
                                                        {kFileAdded, "new", 1},
                                                        {kFolderChanged, "", 0},
                                                        {kFileAdded, "new", 2}}));
}

TEST(FolderWatcher, MissingFolderStaysQuietUntilItAppears) {
    TempDir dir;
    FolderWatcherList list;
    FolderWatcher* watcher = AddFolderWatcher(list, dir.file("later"), nullptr, false);
    EXPECT_FALSE(watcher->exists());
    Recorder recorder;
    EXPECT_TRUE(recorder.Poll(list).empty());
    WriteAll(dir.file("later"), std::string("a plain file is not the folder"));
    EXPECT_TRUE(recorder.Poll(list).empty());
    ASSERT_EQ(unlink(dir.file("later").c_str()), 0);
    ASSERT_TRUE(pirn_test::MakeFolder(dir.file("later")));
    EXPECT_EQ(recorder.Poll(list), (std::vector<Report>{{kFolderAppeared, "", 0}}));
}

}  // namespace
}  // namespace pirn
