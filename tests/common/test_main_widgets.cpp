// Test entry point for widget tests: a QApplication on the offscreen platform unless the environment
// names another one (the X server tests set xcb). Listing tests needs no display at all.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Morvell Software");
    QApplication::setApplicationName("Tarvolo");
    return RUN_ALL_TESTS();
}
