// Where the displays' font is looked for: the current directory first (as the program has
// always done), then beside the program, then in the installed share folder, so that a start
// from the desktop menu, whose current directory is the home folder, still finds it.
#include "PrivateFont.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A second face with another family name, to tell which file was taken.
const QString kOtherFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class FontLookup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir::setCurrent(m_work.path()));
        ASSERT_TRUE(QDir().mkpath(Installed()));
        ASSERT_TRUE(QDir().mkpath(Bin()));
    }
    void TearDown() override {
        FreePrivateFont();
        QDir::setCurrent(m_previous);
    }

    QString Bin() const { return m_prefix.path() + "/bin"; }
    QString Installed() const { return m_prefix.path() + "/share/corvane-progpanel"; }
    static void Place(const QString& source, const QString& dir) {
        const QString target = dir + "/FRAMDCN.TTF";
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(source, target)) << target.toStdString();
    }
    // The family the displays get when the program lives in programDir.
    static QString LoadedFamily(const QString& programDir) {
        LoadPrivateFont(programDir);
        QString family;
        return GetFontFamilyName(family) ? family : QStringLiteral("(none)");
    }

    const QString m_previous = QDir::currentPath();
    QTemporaryDir m_work;   // the current directory
    QTemporaryDir m_prefix; // an installation: bin/ and share/
};

} // namespace

TEST_F(FontLookup, InstalledFontIsFoundFromAnyDirectory) {
    EXPECT_EQ(LoadedFamily(Bin()), "(none)");
    Place(CORVANE_FONT_FILE, Installed());
    EXPECT_TRUE(LoadedFamily(Bin()).startsWith("Roboto"));
}

TEST_F(FontLookup, CurrentDirectoryThenBesideTheProgramThenShare) {
    if (!QFile::exists(kOtherFont)) {
        GTEST_SKIP() << "needs fonts-dejavu-core";
    }
    Place(kOtherFont, Bin());
    Place(CORVANE_FONT_FILE, Installed());
    EXPECT_EQ(LoadedFamily(Bin()), "DejaVu Sans") << "beside the program before share";
    Place(CORVANE_FONT_FILE, Bin());
    Place(kOtherFont, ".");
    EXPECT_EQ(LoadedFamily(Bin()), "DejaVu Sans") << "the current directory first";
}

TEST_F(FontLookup, AnUnusableFileIsPassedOver) {
    QFile junk("FRAMDCN.TTF");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a font");
    junk.close();
    EXPECT_EQ(LoadedFamily(Bin()), "(none)");
    Place(CORVANE_FONT_FILE, Installed());
    EXPECT_TRUE(LoadedFamily(Bin()).startsWith("Roboto"));
}
