#include "app/CCommandLine.h"
#include "app/CDisplayCheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CCommandLine parse(std::vector<const char *> argv)
{
    return CCommandLine::parse(int(argv.size()), const_cast<char **>(argv.data()));
}

} // namespace

TEST(CommandLineTest, HideCountsOnlyAsAWholeArgumentAfterTheProgram)
{
    EXPECT_TRUE(parse({"/usr/bin/tarvolo", "/hide"}).hidden);
    EXPECT_FALSE(parse({"/usr/bin/tarvolo"}).hidden);
    // The program's own path never counts, even when a folder of it is called "/hide".
    EXPECT_FALSE(parse({"/hide/tarvolo"}).hidden);
    EXPECT_FALSE(parse({"/opt/x/hide/tarvolo", "x/hide"}).hidden);
    EXPECT_FALSE(parse({"tarvolo", "/HIDE"}).hidden);
    EXPECT_FALSE(parse({"tarvolo", "/hidex"}).hidden);
    EXPECT_TRUE(parse({"tarvolo", "Close", "/hide"}).hidden);
}

TEST(CommandLineTest, CloseIsTheFirstPlainArgumentSpelledExactly)
{
    EXPECT_TRUE(parse({"tarvolo", "Close"}).close);
    EXPECT_TRUE(parse({"tarvolo", "/hide", "Close"}).close);
    EXPECT_TRUE(parse({"tarvolo", "-x", "Close", "other"}).close);
    EXPECT_FALSE(parse({"tarvolo", "close"}).close);
    EXPECT_FALSE(parse({"tarvolo", "CLOSE"}).close);
    EXPECT_FALSE(parse({"tarvolo", "other", "Close"}).close);
    EXPECT_FALSE(parse({"tarvolo", "/Close"}).close);
    EXPECT_FALSE(parse({"Close"}).close); // the program's own name is no argument
}

TEST(CommandLineTest, VersionSwitches)
{
    EXPECT_TRUE(parse({"tarvolo", "--version"}).version);
    EXPECT_TRUE(parse({"tarvolo", "/version"}).version);
    EXPECT_FALSE(parse({"tarvolo", "-version"}).version);
}

// Sets or clears the display variables for one test and puts them back.
class DisplayEnvironment
{
public:
    DisplayEnvironment()
    {
        for (const char *name : kNames)
            m_saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    }
    ~DisplayEnvironment()
    {
        for (const auto &s : m_saved) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    void set(const char *qpa, const char *display, const char *wayland)
    {
        const char *values[] = {qpa, display, wayland};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                qputenv(kNames[i], values[i]);
            else
                qunsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char *kNames[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    struct Saved
    {
        const char *name;
        QByteArray value;
        bool set;
    };
    std::vector<Saved> m_saved;
};

TEST(DisplayCheckTest, NeedsADisplayOrANamedPlatform)
{
    DisplayEnvironment env;
    env.set(nullptr, nullptr, nullptr);
    const QString missing = displaycheck::missingDisplay();
    EXPECT_FALSE(missing.isEmpty());
    const QString line = displaycheck::message(missing);
    EXPECT_TRUE(line.contains("needs a graphical desktop")) << line.toStdString();
    EXPECT_FALSE(line.contains(u'\n'));

    env.set(nullptr, "", ""); // set but empty is no display either
    EXPECT_FALSE(displaycheck::missingDisplay().isEmpty());
    env.set(nullptr, ":0", nullptr);
    EXPECT_TRUE(displaycheck::missingDisplay().isEmpty());
    env.set(nullptr, nullptr, "wayland-0");
    EXPECT_TRUE(displaycheck::missingDisplay().isEmpty());
    env.set("offscreen", nullptr, nullptr);
    EXPECT_TRUE(displaycheck::missingDisplay().isEmpty());
}
