// The download site's category table: the category text shown in the upload form for a
// minimum-system id and a category id.
#include "qmk/dialog/CategoryTable.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmk::dialog {

namespace {

struct Group {
    const char* name;
    std::vector<std::pair<int, const char*>> categories;
};

// The categories under "Win 2000/NT" ("24"), by group.
const std::vector<Group>& win2000Groups()
{
    static const std::vector<Group> groups = {
        {"Business",
         {{31, "Business-Related Programs"},
          {29, "Business: Accounting, Finance"},
          {30, "Business: General"},
          {32, "Business: Inventory"},
          {33, "Business: Personnel Mgt"},
          {34, "Business: Store & Office Mgt, Point of Sale"},
          {37, "Calculators"},
          {39, "Calendars"},
          {46, "Clocks and Time-related Utilities"},
          {105, "Fax Programs"},
          {222, "Personal Information Managers"},
          {235, "Project Management Programs"},
          {248, "Scheduling Programs"}}},
        {"Desktop Publishing",
         {{36, "Computer-Aided Design Programs"},
          {158, "Document Imaging Programs"},
          {120, "Fonts and Font Utilities"},
          {123, "Form Generators and Forms Entry Programs"},
          {145, "Graphics Programs and Utilities"},
          {226, "Printing Utilities"},
          {298, "Text Utilities"}}},
        {"Education",
         {{43, "Chemistry Programs"},
          {86, "Education: Classroom & Teacher Related"},
          {88, "Education: Math, Arithmetic"},
          {89, "Education: Misc. Programs & Utilities"},
          {87, "Education: Reading, Spelling, Language"},
          {90, "Education: Test Preparation, Practice"},
          {84, "Educational Programs and Utilities"},
          {174, "Language-Related Programs"},
          {182, "Math-related Programs"},
          {250, "Science-related Programs"}}},
        {"Family",
         {{131, "Genealogy Programs"},
          {149, "Health, Fitness, and Medical"},
          {151, "Home and Home Entertainment"}}},
        {"Finance",
         {{114, "Finance Accounting Systems"},
          {117, "Finance Calculators, Currency Converters"},
          {115, "Finance Programs"},
          {118, "Finance: Misc."},
          {116, "Finance: Stocks, Stock Market, Portfolio"}}},
        {"Gaming",
         {{6, "Action/Shooter"},
          {8, "Adventure"},
          {12, "Arcade"},
          {40, "Card/Table"},
          {129, "Gambling"},
          {130, "Game Development"},
          {237, "Puzzles"},
          {241, "Racing"},
          {246, "Role Playing"},
          {260, "Simulation"},
          {268, "Sports"},
          {269, "Sports Programs"},
          {272, "Strategy"}}},
        {"Graphics",
         {{51, "Animated Cursors for Windows 2000/NT"},
          {139, "Digital Photo Utilities"},
          {140, "Fractal Related Utilities"},
          {138, "Graphic File Utilities"},
          {136, "Graphics Catalogers and Albums"},
          {137, "Graphics Editors"},
          {143, "Graphics Viewers"},
          {157, "Icon Editors and Managers"},
          {141, "Misc. Graphics Programs & Utilities"},
          {142, "Screen & Image Capture Utilities"},
          {289, "Theme Files for Windows 2000/NT"}}},
        {"Internet",
         {{311, "Commercial Web Site Programs"},
          {95, "E-mail Programs and Utilities"},
          {162, "FTP, File Transfer & Download"},
          {152, "HTML Tools"},
          {161, "Internet Connection & Setting Utilities"},
          {164, "Internet Messenger Related Programs"},
          {163, "Internet Misc. Utilities"},
          {165, "Internet Search"},
          {160, "Programs for Using the Internet"},
          {280, "Telecommunications Programs and Utilities"},
          {209, "Usenet News Programs"},
          {309, "Web Browser Utilities & Add-ons"},
          {314, "Web Misc. Utilities"},
          {310, "Web Page / Browser Utilities"},
          {312, "Web Page Editors & Creator"},
          {313, "Web Page Specific Graphic Utilities"},
          {315, "Web Page Utilities & Add-ons"},
          {316, "Web Site & Web Server Utilities"},
          {321, "Winsock Programs"}}},
        {"MIS",
         {{255, "Misc. Security Programs"},
          {206, "Network Utilities"},
          {207, "Neural Network Programs"},
          {258, "Security Programs"},
          {253, "Security: Encryption Related"},
          {254, "Security: File Protection & Security"},
          {256, "Security: Password Related Utilities"},
          {257, "Security: System, Network, Internet"},
          {304, "Virus Checking / Removing Programs"}}},
        {"MISC",
         {{92, "Electronics"},
          {166, "General Information"},
          {135, "Geographic Information Systems"}}},
        {"Major Applications",
         {{55, "Custom Databases"},
          {54, "Database Misc. Utilities"},
          {52, "Database Programs"},
          {83, "Editors/Word Processors"},
          {53, "General Database Programs"},
          {56, "SQL, ODBC, Access, Oracle, FMPro related"},
          {57, "Spreadsheet Programs & Utilities"},
          {325, "Utilities for Word Perfect for Windows 2000/NT"},
          {322, "Utilities for Word for Windows 2000/NT"}}},
        {"Multimedia",
         {{192, "Misc. Multimedia Programs"},
          {265, "Misc. Sound/Audio Related Utilities"},
          {188, "Multimedia Capture & Recording"},
          {189, "Multimedia Conversion"},
          {190, "Multimedia Editor & Authoring Programs"},
          {193, "Multimedia Players & Viewers"},
          {191, "Multimedia Programs"},
          {262, "Sound Capturing, Recording Utilities"},
          {263, "Sound Conversion Utilities"},
          {264, "Sound Editors, Special Effect Utilities"},
          {266, "Sound Players"},
          {267, "Sound and Audio Programs"}}},
        {"Music/Audio",
         {{201, "Misc. Music Related Programs"},
          {198, "Music File Catalogers & Utilities"},
          {202, "Music Players"},
          {197, "Music Programs"},
          {199, "Musical Instrument & Composition"},
          {196, "Musical Transcribers & Conversion Utilities"}}},
        {"Personal Interest",
         {{126, "Fortune telling - Astrology, Biorhythms, etc."},
          {146, "Ham Radio Programs"},
          {150, "Hobbies"},
          {121, "Programs about Food"}}},
        {"Programming",
         {{229, "C, C++, Visual C Language Specific"},
          {230, "Database Programming Specific"},
          {60, "Delphi-Related Files"},
          {81, "Dynamic Link Libraries for Win NT/2000"},
          {101, "Encoding / Decoding Programs"},
          {167, "Install/Uninstall Programs"},
          {171, "Java Programming"},
          {234, "Microsoft MFC, Windows Specific"},
          {233, "Misc. Programming Utilities"},
          {232, "Programming Languages"},
          {228, "Programming Utilities"},
          {318, "Programs for Working with Windows Help"},
          {305, "Visual Basic Programming Language"}}},
        {"Reference", {{102, "Engineering"}}},
        {"Religious Software",
         {{24, "Bible-Related and Religious Programs"}, {245, "Religion Programs"}}},
        {"Screen Savers", {{252, "Screen Savers"}}},
        {"Utilities/Drivers/System Files",
         {{279, "Answering Machines, Caller ID"},
          {62, "Application Launchers, Managers"},
          {75, "CD-ROM Utilities"},
          {65, "Desktop Misc. Utilities"},
          {66, "Desktop Sticky Note Programs"},
          {74, "Disk / Drive Backup Utilities"},
          {76, "Disk / Drive Misc. Utilities"},
          {78, "Disk Security, Erasure, Recovery"},
          {80, "Disk Utilities"},
          {77, "Drive Manager & Directory Utilities"},
          {98, "Email Client, Server, Gateway Programs"},
          {96, "Email Misc. Utilities"},
          {99, "Email: Anti-Spam Related"},
          {94, "Email: Bulk Email & Mailing List Programs"},
          {97, "Email: MS Outlook Related"},
          {106, "File & Folder Naming, Attribute Utilities"},
          {107, "File Backup, Copying, Synchronizing"},
          {48, "File Compression Utilities"},
          {108, "File Find & Compare Utilities"},
          {110, "File Managers & Menu Systems"},
          {109, "File Misc. Utilities"},
          {112, "File Utilities"},
          {113, "File Viewers & Browsers"},
          {284, "Messaging, SMS, Pager, Voicema"},
          {283, "Misc. Telecommunications Utilities"},
          {301, "Miscellaneous Utilities"},
          {281, "Phone Dialers"},
          {70, "Programs for the Windows 2000/NT Desktop"},
          {285, "Serial Port, RS232, Model Utilities"},
          {63, "Windows Clipboard Utilities"},
          {69, "Windows Start-up & Shutdown Utilities"},
          {67, "Windows Wallpaper, Scheme, Icon Utils"}}},
        {"Web Development",
         {{153, "HTML Conversion Utilities"}, {154, "HTML Editors"}, {155, "Misc.HTML Utilities"}}},
    };
    return groups;
}

void add(CategoryTable& table, const std::string& system, int id, const std::string& text)
{
    table[system + "|" + std::to_string(id)] = text;
}

// Categories of "24" under another system id: every one, or the first `counts` of each group
// that `counts` names.
void addWin2000Share(CategoryTable& table, const std::string& system,
                     const std::map<std::string_view, std::size_t>* counts = nullptr)
{
    for (const Group& group : win2000Groups()) {
        std::size_t take = group.categories.size();
        if (counts) {
            const auto it = counts->find(group.name);
            take = it == counts->end() ? 0 : it->second;
        }
        for (std::size_t i = 0; i < take && i < group.categories.size(); ++i) {
            const auto& [id, name] = group.categories[i];
            add(table, system, id, std::string(group.name) + " | " + name);
        }
    }
}

// The shares of "21" (27) and "22" (73), within the group totals of the site's whole table.
const std::map<std::string_view, std::size_t> kMsDosShare = {
    {"MIS", 9}, {"Programming", 13}, {"Reference", 1}, {"Utilities/Drivers/System Files", 4}};
const std::map<std::string_view, std::size_t> kWindows31Share = {
    {"Business", 13},  {"Desktop Publishing", 7},
    {"Education", 10}, {"Family", 3},
    {"Finance", 3},    {"Gaming", 2},
    {"Graphics", 7},   {"Utilities/Drivers/System Files", 28}};

} // namespace

void buildCategoryTable(CategoryTable& table)
{
    for (const char* system : {"24", "20", "23", "25"})
        addWin2000Share(table, system);
    addWin2000Share(table, "21", &kMsDosShare); // MS-DOS
    addWin2000Share(table, "22", &kWindows31Share); // Windows 3.1
    add(table, "22", 64, "Utilities/Drivers/System Files | Desktop Enhancements and Replacements");
    add(table, "23", 317, "MISC | Windows 98-specific Programs and Files");
    add(table, "23", 319, "MISC | Windows Millennium-specific Programs and Files");
    add(table, "23", 320, "MISC | Win NT / 2000-specific Programs");
}

} // namespace qmk::dialog
