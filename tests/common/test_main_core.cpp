// Test entry point for modules without widgets: a QCoreApplication, so that Qt's event loop, locale and
// standard paths work as in the program.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Morvell Software");
    QCoreApplication::setApplicationName("Tarvolo");
    return RUN_ALL_TESTS();
}
