// The window on a disk that fails under it: every write, and the reading that follows, ends in
// an I/O error. What the tables show and what the status line says stay true to the file.
#include "Fixture.h"

#include <sqlite3.h>

#include <atomic>
#include <map>
#include <memory>

namespace qmk::test {
namespace {

// While it lives, files are opened through a VFS over the default one whose writes to main
// database files fail while `failing` is set, as on a file made unwritable under the program.
class FailingDisk {
public:
    FailingDisk() { sqlite3_vfs_register(&shim(), 1); }
    ~FailingDisk()
    {
        failing = false;
        sqlite3_vfs_unregister(&shim());
    }
    static inline std::atomic<bool> failing{false};

private:
    struct Methods {
        sqlite3_io_methods patched; // first: a file's pMethods leads to the whole
        const sqlite3_io_methods* real;
    };
    static const sqlite3_io_methods* real(sqlite3_file* file)
    {
        return reinterpret_cast<const Methods*>(file->pMethods)->real;
    }
    static int write(sqlite3_file* file, const void* data, int n, sqlite3_int64 at)
    {
        return failing ? SQLITE_IOERR_WRITE : real(file)->xWrite(file, data, n, at);
    }
    static int truncate(sqlite3_file* file, sqlite3_int64 size)
    {
        return failing ? SQLITE_IOERR_TRUNCATE : real(file)->xTruncate(file, size);
    }
    static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* out)
    {
        auto* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        const int rc = base->xOpen(base, name, file, flags, out);
        if (rc != SQLITE_OK || !(flags & SQLITE_OPEN_MAIN_DB) || !file->pMethods)
            return rc;
        static std::map<const sqlite3_io_methods*, std::unique_ptr<Methods>> patches;
        std::unique_ptr<Methods>& patch = patches[file->pMethods];
        if (!patch) {
            patch.reset(new Methods{*file->pMethods, file->pMethods});
            patch->patched.xWrite = write;
            patch->patched.xTruncate = truncate;
        }
        file->pMethods = &patch->patched;
        return rc;
    }
    static sqlite3_vfs& shim()
    {
        static sqlite3_vfs vfs = [] {
            sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
            sqlite3_vfs made = *base;
            made.zName = "failing-disk";
            made.pAppData = base;
            made.pNext = nullptr;
            made.xOpen = open;
            return made;
        }();
        return vfs;
    }
};

class DiskFailing : public WindowTest {};

TEST_F(DiskFailing, ATableThatCannotBeReadAgainKeepsItsRowsAndTheWritesReport)
{
    addSite("Shareware_Sites", "a.example", "1", "first");
    addSite("Shareware_Sites", "b.example", "2");
    addSite("Temp_Sites", "t.example");
    addProduct("Beta Backup", "1");
    addSite("Beta Backup", "a.example", "1", "first");
    addSite("Beta Backup", "b.example", "2");
    FailingDisk disk;
    reopenDatabase(); // through the failing disk
    openWindow();
    selectTab(0);

    FailingDisk::failing = true;
    edit(0, rowOfId(0, "a.example"), "notes", QString("lost"));
    EXPECT_EQ(status(),
              "notes of row a.example in Shareware_Sites not stored: disk I/O error; "
              "reading Beta Backup (0 rows read) failed: disk I/O error");
    EXPECT_EQ(viewAt(0)->getById("a.example")->get("notes"), "first");
    EXPECT_EQ(idsShown(4), (std::vector<std::string>{"b.example", "a.example"}));
    selectTab(4); // still unreadable: the rows stay, and the reason
    EXPECT_EQ(idsShown(4), (std::vector<std::string>{"b.example", "a.example"}));
    EXPECT_EQ(status(), "reading Beta Backup (0 rows read) failed: disk I/O error");

    FailingDisk::failing = false;
    addSite("Beta Backup", "c.example", "3"); // another program, once the disk works again
    edit(3, rowOfId(3, "t.example"), "notes", QString("any")); // the next write reads it again
    EXPECT_EQ(idsShown(4), (std::vector<std::string>{"c.example", "b.example", "a.example"}));
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id = 'a.example'"),
              std::vector<std::string>{"first"});
}

} // namespace
} // namespace qmk::test
