#include "settings/CFontLS.h"

#include "settings/CSettingsStore.h"

#include "StoreFile.h"

#include <climits>

namespace {

using FontLSTest = StoreFileTest;

TEST_F(FontLSTest, MissingValuesComeFromTheDefaultDescription)
{
    writeStore("[Options]\nFont_lfHeight_FontEditorString=-20\nFont_lfHeight_FontGrid=-9\n");
    const CSettingsStore store(path());
    CFontLS editor;
    editor.setDefault(CLogFont::courierNew(), 0x808000);
    editor.load(store, "Options", "FontEditorString");
    CLogFont expected = CLogFont::courierNew();
    expected.lfHeight = -20;
    EXPECT_EQ(editor.description(), expected);
    EXPECT_EQ(editor.color(), 0x808000u);
    EXPECT_EQ(editor.font().pixelSize(), 20);

    // A default without a height stands for the generic description, face and all.
    CLogFont faceOnly;
    faceOnly.lfFaceName = "Courier New";
    CFontLS grid;
    grid.setDefault(faceOnly, 0);
    grid.load(store, "Options", "FontGrid");
    expected = CLogFont::generic();
    expected.lfHeight = -9;
    EXPECT_EQ(grid.description(), expected);
}

TEST_F(FontLSTest, ByteFieldsAreTruncatedAndLongFacesCut)
{
    writeStore("[Options]\nFont_lfItalic_F=257\nFont_lfCharSet_F=-1\nFont_lfWeight_F=700\n"
               "Font_lfFaceName_F=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\nFont_color_F=16711680\n");
    CFontLS font;
    font.load(CSettingsStore(path()), "Options", "F");
    EXPECT_EQ(font.description().lfItalic, 1);
    EXPECT_EQ(font.description().lfCharSet, 255);
    EXPECT_EQ(font.description().lfWeight, 700);
    EXPECT_EQ(font.description().lfFaceName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_EQ(font.color(), 0xFF0000u);

    // A surrogate pair straddling the limit is not split.
    const QString face = QString(30, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(CLogFont::fittedFaceName(face), QString(30, u'a'));
}

TEST_F(FontLSTest, SavesFifteenValuesOnlyOnceThereIsAFont)
{
    CFontLS font;
    {
        CSettingsStore store(path());
        font.save(store, "Options", "FontGrid");
        EXPECT_TRUE(store.valueNames("Options").isEmpty());

        CLogFont d = CLogFont::generic();
        d.lfCharSet = 204;
        d.lfEscapement = 900;
        font.setDescription(d);
        font.setColor(0x00FF00);
        font.save(store, "Options", "FontGrid");
        EXPECT_EQ(store.valueNames("Options").size(), 15);
    }
    const QByteArray text = storeText();
    for (const char *line : {"Font_lfHeight_FontGrid=-11\n", "Font_lfEscapement_FontGrid=900\n",
                             "Font_lfCharSet_FontGrid=204\n", "Font_lfPitchAndFamily_FontGrid=34\n",
                             "Font_lfFaceName_FontGrid=Tahoma\n", "Font_color_FontGrid=65280\n"})
        EXPECT_TRUE(text.contains(line)) << line;
}

TEST(LogFont, ConvertsToAndFromQFont)
{
    CLogFont d = CLogFont::courierNew();
    d.lfWeight = 700;
    d.lfItalic = 1;
    d.lfQuality = 3;
    d.lfPitchAndFamily = 0x31; // fixed pitch, modern family
    const QFont q = d.toQFont();
    EXPECT_EQ(q.family(), "Courier New");
    EXPECT_EQ(q.pixelSize(), 13);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_TRUE(q.italic() && q.fixedPitch());
    EXPECT_EQ(q.styleHint(), QFont::TypeWriter);
    EXPECT_TRUE(q.styleStrategy() & QFont::NoAntialias);

    // The fields a QFont cannot carry come from the base description.
    CLogFont base = CLogFont::generic();
    base.lfCharSet = 204;
    QFont chosen("DejaVu Sans");
    chosen.setPixelSize(16);
    chosen.setUnderline(true);
    CLogFont expected = base;
    expected.lfHeight = -16;
    expected.lfUnderline = 1;
    expected.lfFaceName = "DejaVu Sans";
    EXPECT_EQ(CLogFont::fromQFont(chosen, base), expected);
}

TEST(LogFont, ExtremeHeightsGiveAUsableFont)
{
    CLogFont d = CLogFont::generic();
    for (int height : {INT_MIN, -1, 1, 24, INT_MAX}) {
        d.lfHeight = height;
        const int pixels = d.toQFont().pixelSize();
        EXPECT_GE(pixels, 1) << height;
        EXPECT_LE(pixels, 4096) << height;
    }
    d.lfHeight = 24; // a cell height: the character height is smaller or equal
    EXPECT_LE(d.toQFont().pixelSize(), 24);
}

} // namespace
