// The window on a disk that fails under it: every write, and the reading that follows, ends in
// an I/O error. What the tables show and what the status line says stay true to the file.
#include "Fixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <sqlite3.h>

#include <atomic>
#include <utility>

namespace qmk::test {
namespace {

// While it lives, files open through a VFS over the default one whose writes to database files
// fail while `failing` is set, as on a file made unwritable under the program.
struct FailingDisk {
    static inline std::atomic<bool> failing{false};
    static inline sqlite3_io_methods patched{};
    static inline int (*realWrite)(sqlite3_file*, const void*, int, sqlite3_int64) = nullptr;

    FailingDisk() { sqlite3_vfs_register(&vfs(), 1); }
    ~FailingDisk()
    {
        failing = false;
        sqlite3_vfs_unregister(&vfs());
    }
    static int write(sqlite3_file* file, const void* data, int n, sqlite3_int64 at)
    {
        return failing ? SQLITE_IOERR_WRITE : realWrite(file, data, n, at);
    }
    static int open(sqlite3_vfs* self, const char* name, sqlite3_file* file, int flags, int* out)
    {
        auto* base = static_cast<sqlite3_vfs*>(self->pAppData);
        const int rc = base->xOpen(base, name, file, flags, out);
        if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) && file->pMethods) {
            patched = *file->pMethods; // the same table for every database file
            realWrite = std::exchange(patched.xWrite, &write);
            file->pMethods = &patched;
        }
        return rc;
    }
    static sqlite3_vfs& vfs()
    {
        static sqlite3_vfs made = [] {
            sqlite3_vfs v = *sqlite3_vfs_find(nullptr);
            v.zName = "failing-disk";
            v.pAppData = sqlite3_vfs_find(nullptr);
            v.pNext = nullptr;
            v.xOpen = open;
            return v;
        }();
        return made;
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

    // a move from the catalogue and from a listing: not stored, and every row stays in place
    const auto move = [this](int tab, const std::string& id) {
        selectTab(tab);
        viewerAt(tab)->setSelection({rowOfId(tab, id)});
        QMenu* menu = viewAt(tab)->menuManager();
        emit menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (action->text() == "&Move to Black Sites List")
                action->trigger();
        QApplication::processEvents();
    };
    const std::vector<std::string> catalogue = idsShown(0);
    for (const auto& [tab, id] : {std::pair(0, "b.example"), std::pair(4, "a.example")}) {
        move(tab, id);
        EXPECT_EQ(status(),
                  "move of " + std::string(id) +
                      " not stored: disk I/O error; reading Beta Backup (0 rows read) failed: "
                      "disk I/O error");
        EXPECT_EQ(idsShown(0), catalogue);
        EXPECT_EQ(idsShown(4), (std::vector<std::string>{"b.example", "a.example"}));
        EXPECT_EQ(idsShown(2), std::vector<std::string>{});
        const std::vector<base::RecordPtr> selected = viewerAt(tab)->selectedRecords();
        EXPECT_TRUE(selected.size() == 1 && selected[0]->get("id") == id) << tab;
    }

    FailingDisk::failing = false;
    addSite("Beta Backup", "c.example", "3"); // another program, once the disk works again
    edit(3, rowOfId(3, "t.example"), "notes", QString("any")); // the next write reads it again
    EXPECT_EQ(idsShown(4), (std::vector<std::string>{"c.example", "b.example", "a.example"}));
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id = 'a.example'"),
              std::vector<std::string>{"first"});
    EXPECT_EQ(column("SELECT id FROM Black_Sites"), std::vector<std::string>{});
}

} // namespace
} // namespace qmk::test
