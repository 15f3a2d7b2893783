// Build-time tool: runs an SQL script against a fresh SQLite file and moves it into place.
// Usage: tarvolo_build_sample_db <script.sql> <target.db>
// The database is written to "<target>.tmp" first and renamed, so a failed build never leaves a
// half-filled database where the program looks for it.

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <script.sql> <target.db>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream script;
    script << in.rdbuf();

    const std::string target = argv[2];
    const std::string temp = target + ".tmp";
    std::remove(temp.c_str());

    sqlite3 *db = nullptr;
    if (sqlite3_open(temp.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s: %s\n", temp.c_str(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    char *message = nullptr;
    const int rc = sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        sqlite3_close(db);
        std::remove(temp.c_str());
        return 1;
    }
    if (sqlite3_close(db) != SQLITE_OK || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::fprintf(stderr, "cannot move %s into place\n", temp.c_str());
        std::remove(temp.c_str());
        return 1;
    }
    return 0;
}
