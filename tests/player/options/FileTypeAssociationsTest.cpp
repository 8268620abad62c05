#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QListWidget>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Paths.h"
#include "player/options/DesktopEntry.h"
#include "player/options/DialogFileTypes.h"
#include "player/options/FileTypeAssociations.h"
#include "player/options/FileTypeTable.h"
#include "player/options/MimePackage.h"
#include "tests/engine/CapturedMessages.h"
#include "tests/support/TempEnvironment.h"

namespace {

// A row's type is the one the MIME database gives its extension; the player's own types
// are for exactly the extensions the database names no type for.
TEST(FileTypeTable, EveryRowsTypeIsTheDatabasesOrOneOfOurOwnWhereItHasNone) {
    QMimeDatabase db;
    ASSERT_EQ(filetypes::Rows().size(), 26u);
    for (const FileTypeRow& row : filetypes::Rows()) {
        QStringList known;
        for (const QMimeType& t :
             db.mimeTypesForFileName(QString("x.") + QString(row.extension).toLower()))
            known << t.name();
        if (row.ownType)
            EXPECT_TRUE(known.isEmpty())
                << row.extension << " has " << known.join(",").toStdString();
        else
            EXPECT_TRUE(known.contains(row.mimeType))
                << row.extension << " " << known.join(",").toStdString();
    }
    EXPECT_EQ(filetypes::RowText(filetypes::Rows()[10]), "MP3  - MPEG Layer 3 Audio");
    EXPECT_EQ(filetypes::Glob(filetypes::Rows()[7]), "*.m2v");
}

TEST(DesktopEntry, TheProgramPathIsOneQuotedExecArgumentWhateverItHolds) {
    const struct {
        const char* path;
        const char* exec;
    } cases[] = {
        {"/opt/k/Kalvor", R"("/opt/k/Kalvor")"},
        {"/opt/my player/Kalvor", R"("/opt/my player/Kalvor")"},
        {"/a\"b/$c`d", R"("/a\\"b/\\$c\\`d")"},
        {"/a\\b/100%", R"("/a\\\\b/100%%")"},
    };
    for (const auto& c : cases) EXPECT_EQ(desktopentry::ExecArgument(c.path), c.exec) << c.path;
}

class FileTypeAssociationsTest : public TempFolderTest {
protected:
    void SetUp() override {
        folders_.configHome = env_.ConfigHome();
        folders_.configDirs = {env_.Path("etc")};
        folders_.dataHome = env_.DataHome();
        folders_.dataDirs = {env_.Path("share")};
        apps_ = env_.DataHome() + "/applications";
        ASSERT_TRUE(paths::EnsureFolder(apps_));
        ASSERT_TRUE(paths::EnsureFolder(folders_.configHome));
        for (const char* id : {"other.desktop", "third.desktop"})
            TempEnvironment::WriteFile(
                apps_ + "/" + id, "[Desktop Entry]\nType=Application\nName=x\nExec=/bin/true %f\n");
        TempEnvironment::WriteFile(ListPath(), kOriginal);
        program_ = env_.Path("my player/Kalvor");
    }
    std::string ListPath() const { return folders_.configHome + "/mimeapps.list"; }
    FileTypeAssociations Make() const {
        return FileTypeAssociations(XdgMimeApps(folders_), program_,
                                    env_.Path("config/Kalvor/registry"));
    }
    static std::vector<bool> Checked(std::initializer_list<const char*> extensions) {
        std::vector<bool> checked;
        for (const FileTypeRow& row : filetypes::Rows()) {
            bool on = false;
            for (const char* e : extensions) on = on || std::string(e) == row.extension;
            checked.push_back(on);
        }
        return checked;
    }
    static int Row(const char* extension) {
        for (size_t i = 0; i < filetypes::Rows().size(); ++i)
            if (std::string(filetypes::Rows()[i].extension) == extension)
                return static_cast<int>(i);
        return -1;
    }

    static constexpr char kOriginal[] =
        "# keep me\n[Added Associations]\naudio/mpeg=third.desktop;\n\n"
        "[Default Applications]\r\naudio/mpeg=other.desktop;\nvideo/mp4=third.desktop;\n\n[x]\ny=z";
    XdgMimeApps::Folders folders_;
    std::string apps_;
    std::string program_;
    CapturedMessages messages_;
};

TEST_F(FileTypeAssociationsTest,
       CheckingAndUncheckingAllTakesOverAndGivesBackExactlyTheUsersDefaults) {
    const FileTypeAssociations assoc = Make();
    EXPECT_EQ(assoc.States(), std::vector<bool>(26, false));

    ASSERT_TRUE(assoc.Apply(Checked({"MP3", "MP4", "OGG"}), nullptr));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(TempEnvironment::ReadFile(apps_ + "/kalvor.desktop"),
              desktopentry::Build(program_, filetypes::MimeTypes()));
    EXPECT_NE(
        TempEnvironment::ReadFile(apps_ + "/kalvor.desktop").find("Exec=\"" + program_ + "\" %f\n"),
        std::string::npos);
    EXPECT_EQ(TempEnvironment::ReadFile(ListPath()),
              "# keep me\n[Added Associations]\naudio/mpeg=third.desktop;\n\n"
              "[Default Applications]\r\naudio/mpeg=kalvor.desktop;\nvideo/mp4=kalvor.desktop;\n"
              "audio/ogg=kalvor.desktop;\n\n[x]\ny=z");
    RegistryStore store(env_.Path("config/Kalvor/registry"));
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.Values(), (std::map<std::string, std::string>{
                                  {"FileTypes/audio/mpeg/Kalvor_Back", "other.desktop;"},
                                  {"FileTypes/video/mp4/Kalvor_Back", "third.desktop;"}}));
    const auto states = assoc.States();
    EXPECT_TRUE(states[Row("MP3")] && states[Row("MP4")] && states[Row("OGG")]);
    EXPECT_EQ(std::count(states.begin(), states.end(), true), 3);

    // Checked again: already the player's, the backups stay what they were.
    ASSERT_TRUE(assoc.Apply(Checked({"MP3", "MP4", "OGG"}), nullptr));
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.Get("FileTypes/audio/mpeg/Kalvor_Back"), "other.desktop;");

    ASSERT_TRUE(assoc.Apply(Checked({}), nullptr));
    EXPECT_EQ(TempEnvironment::ReadFile(ListPath()), kOriginal);
    EXPECT_EQ(assoc.States(), std::vector<bool>(26, false));
}

TEST_F(FileTypeAssociationsTest, RowsSharingATypeShowOneState) {
    const FileTypeAssociations assoc = Make();
    ASSERT_TRUE(assoc.Apply(Checked({"DIVX", "MPEG"}), nullptr));
    const auto states = assoc.States();
    EXPECT_TRUE(states[Row("AVI")] && states[Row("DIVX")] && states[Row("MPG")] &&
                states[Row("MPEG")]);
    EXPECT_EQ(std::count(states.begin(), states.end(), true), 4);
    // Unchecking one row of a shared type while the other stays checked keeps the type.
    ASSERT_TRUE(assoc.Apply(Checked({"AVI", "MPEG"}), nullptr));
    EXPECT_TRUE(assoc.States()[Row("DIVX")]);
}

// Records what would rebuild the MIME database, or fails to start it.
struct RecordingLauncher : IProcessLauncher {
    std::vector<std::vector<std::string>> runs;
    bool starts = true;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        std::vector<std::string> run{program};
        run.insert(run.end(), args.begin(), args.end());
        runs.push_back(run);
        return starts;
    }
};

TEST_F(FileTypeAssociationsTest, OwnTypesGetTheirGlobsWhileCheckedAndTheDatabaseIsRebuiltOnChange) {
    RecordingLauncher launcher;
    const FileTypeAssociations assoc(XdgMimeApps(folders_), program_,
                                     env_.Path("config/Kalvor/registry"), &launcher);
    const std::string package = env_.DataHome() + "/mime/packages/kalvor.xml";
    const std::vector<std::string> rebuild{"update-mime-database", env_.DataHome() + "/mime"};

    ASSERT_TRUE(assoc.Apply(Checked({"CDA", "M2V", "MP3"}), nullptr));
    const std::string both = TempEnvironment::ReadFile(package);
    EXPECT_EQ(both, mimepackage::Build({{"audio/x-kalvor-cda", "CD Audio", "*.cda"},
                                        {"video/x-kalvor-m2v", "MPEG2 Video", "*.m2v"}}));
    EXPECT_EQ(launcher.runs, (std::vector<std::vector<std::string>>{rebuild}));
    auto states = assoc.States();
    EXPECT_TRUE(states[Row("CDA")] && states[Row("M2V")] && states[Row("MP3")]);
    EXPECT_NE(TempEnvironment::ReadFile(apps_ + "/kalvor.desktop").find("video/x-kalvor-m2v;"),
              std::string::npos);

    // The same choice again changes nothing and rebuilds nothing.
    ASSERT_TRUE(assoc.Apply(Checked({"CDA", "M2V", "MP3"}), nullptr));
    EXPECT_EQ(launcher.runs.size(), 1u);

    ASSERT_TRUE(assoc.Apply(Checked({"M2V"}), nullptr));
    EXPECT_EQ(TempEnvironment::ReadFile(package),
              mimepackage::Build({{"video/x-kalvor-m2v", "MPEG2 Video", "*.m2v"}}));
    states = assoc.States();
    EXPECT_FALSE(states[Row("CDA")] || states[Row("MP3")]);
    EXPECT_TRUE(states[Row("M2V")]);

    // The last own type gone, the package goes; a rebuild that cannot start says so.
    launcher.starts = false;
    EXPECT_FALSE(assoc.Apply(Checked({}), nullptr));
    EXPECT_FALSE(TempEnvironment::Exists(package));
    EXPECT_EQ(launcher.runs.size(), 3u);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text,
              "The player's own file types cannot be registered: update-mime-database cannot "
              "be run.");
    EXPECT_EQ(assoc.States(), std::vector<bool>(26, false));
}

// The package is one the freedesktop tool takes: after it ran, the glob names the type.
TEST_F(FileTypeAssociationsTest, TheMimeDatabaseToolCompilesThePackageIntoTheGlobList) {
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed (shared-mime-info)";
    struct WaitingLauncher : IProcessLauncher {
        bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
            QStringList list;
            for (const std::string& a : args) list << QString::fromStdString(a);
            return QProcess::execute(QString::fromStdString(program), list) == 0;
        }
    } launcher;
    const FileTypeAssociations assoc(XdgMimeApps(folders_), program_,
                                     env_.Path("config/Kalvor/registry"), &launcher);
    ASSERT_TRUE(assoc.Apply(Checked({"XVID", "DAT"}), nullptr));
    const std::string globs = TempEnvironment::ReadFile(env_.DataHome() + "/mime/globs2");
    EXPECT_NE(globs.find("video/x-kalvor-xvid:*.xvid"), std::string::npos) << globs;
    EXPECT_NE(globs.find("video/x-kalvor-dat:*.dat"), std::string::npos) << globs;
    EXPECT_EQ(globs.find("m2v"), std::string::npos);
}

TEST_F(FileTypeAssociationsTest, AnotherProgramsDefaultIsNeverTouchedByUnchecking) {
    const FileTypeAssociations assoc = Make();
    ASSERT_TRUE(assoc.Apply(Checked({"MP3"}), nullptr));
    // Meanwhile the user gives MP3 to a third program.
    std::string text = TempEnvironment::ReadFile(ListPath());
    text.replace(text.find("audio/mpeg=kalvor.desktop;"), 26, "audio/mpeg=third.desktop;");
    TempEnvironment::WriteFile(ListPath(), text);
    ASSERT_TRUE(assoc.Apply(Checked({}), nullptr));
    EXPECT_EQ(TempEnvironment::ReadFile(ListPath()), text);
}

TEST_F(FileTypeAssociationsTest, ADataFolderThatCannotTakeTheEntryGivesTheMessageAndNoDefault) {
    // A file where the applications folder should be: not writable, even for root.
    ASSERT_EQ(rename(apps_.c_str(), (apps_ + ".moved").c_str()), 0);
    TempEnvironment::WriteFile(apps_, "not a folder");
    EXPECT_FALSE(Make().Apply(Checked({"MP3", "WAV"}), nullptr));
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, kAdminRightsText);
    EXPECT_EQ(TempEnvironment::ReadFile(ListPath()), kOriginal);
}

TEST_F(FileTypeAssociationsTest, TheDialogShowsTheListsAsTheyAreAndAppliesItsCheckBoxes) {
    CDialogFileTypes dialog(nullptr, std::make_unique<FileTypeAssociations>(Make()));
    dialog.RefreshList();
    QListWidget* list = dialog.List();
    ASSERT_EQ(list->count(), 26);
    EXPECT_EQ(list->item(Row("MP3"))->text(), "MP3  - MPEG Layer 3 Audio");
    dialog.ClickLabel(1);
    EXPECT_EQ(list->item(Row("CDA"))->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(Row("WAV"))->checkState(), Qt::Checked);
    dialog.ClickLabel(2);
    list->item(Row("AVI"))->setCheckState(Qt::Checked);
    EXPECT_EQ(list->item(Row("DIVX"))->checkState(), Qt::Checked);  // one type, one state
    list->item(Row("MP3"))->setCheckState(Qt::Checked);
    dialog.OnOK();
    EXPECT_TRUE(Make().States()[Row("MP3")]);
    // Changed behind the dialog's back: the next showing tells the truth, not the last Apply.
    TempEnvironment::WriteFile(ListPath(), kOriginal);
    dialog.RefreshList();
    EXPECT_EQ(list->item(Row("MP3"))->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->count(), 26);
}

TEST_F(FileTypeAssociationsTest, XdgMimeNamesTheSameDefaultsAsTheDialog) {
    if (QProcess::execute("sh", {"-c", "command -v xdg-mime >/dev/null"}) != 0)
        GTEST_SKIP() << "xdg-mime is not installed (xdg-utils)";
    // xdg-mime resolves the entry's program by its first word, so this program's folder
    // has no blank.
    program_ = env_.Path("bin/Kalvor");
    ASSERT_TRUE(paths::EnsureFolder(env_.Path("bin")));
    TempEnvironment::WriteFile(program_, "#!/bin/sh\n");
    ASSERT_EQ(chmod(program_.c_str(), 0755), 0);
    const FileTypeAssociations assoc = Make();
    ASSERT_TRUE(assoc.Apply(Checked({"MP3", "WAV"}), nullptr));

    auto query = [&](const char* type) {
        QProcess p;
        QProcessEnvironment e;
        e.insert("PATH", "/usr/bin:/bin");
        e.insert("HOME", QString::fromStdString(env_.Root()));
        e.insert("XDG_CONFIG_HOME", QString::fromStdString(folders_.configHome));
        e.insert("XDG_CONFIG_DIRS", QString::fromStdString(folders_.configDirs[0]));
        e.insert("XDG_DATA_HOME", QString::fromStdString(folders_.dataHome));
        e.insert("XDG_DATA_DIRS", QString::fromStdString(folders_.dataDirs[0]));
        p.setProcessEnvironment(e);
        p.start("xdg-mime", {"query", "default", type});
        if (!p.waitForFinished(20000)) p.kill();
        return p.readAllStandardOutput().trimmed().toStdString();
    };
    const XdgMimeApps apps(folders_);
    for (const char* type : {"audio/mpeg", "audio/x-wav", "video/mp4"})
        EXPECT_EQ(query(type), apps.DefaultOf(type).value_or("")) << type;
    EXPECT_EQ(query("audio/mpeg"), "kalvor.desktop");
    EXPECT_EQ(query("video/mp4"), "third.desktop");
}

}  // namespace
