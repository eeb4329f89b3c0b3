#include "providers/linux/system/rpm_database.h"

#include <dlfcn.h>
#include <sqlite3.h>

namespace moravel::lx {
namespace {

// The SQLite functions used here, from the library loaded at run time.
class Sqlite {
    void* library_ = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_LOCAL);  // first: the symbols below need it

public:
    Sqlite() = default;
    ~Sqlite() {
        if (library_) dlclose(library_);
    }
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;

    bool usable() const {
        return library_ && open && close && errmsg && prepare && step && columnBlob && columnBytes && finalize;
    }

    int (*open)(const char*, sqlite3**, int, const char*) = symbol<decltype(open)>("sqlite3_open_v2");
    int (*close)(sqlite3*) = symbol<decltype(close)>("sqlite3_close_v2");
    const char* (*errmsg)(sqlite3*) = symbol<decltype(errmsg)>("sqlite3_errmsg");
    int (*prepare)(sqlite3*, const char*, int, sqlite3_stmt**, const char**) =
        symbol<decltype(prepare)>("sqlite3_prepare_v2");
    int (*step)(sqlite3_stmt*) = symbol<decltype(step)>("sqlite3_step");
    const void* (*columnBlob)(sqlite3_stmt*, int) = symbol<decltype(columnBlob)>("sqlite3_column_blob");
    int (*columnBytes)(sqlite3_stmt*, int) = symbol<decltype(columnBytes)>("sqlite3_column_bytes");
    int (*finalize)(sqlite3_stmt*) = symbol<decltype(finalize)>("sqlite3_finalize");

private:
    template <typename F>
    F symbol(const char* name) {
        return library_ ? reinterpret_cast<F>(dlsym(library_, name)) : nullptr;
    }
};

// An open database and one statement on it, given back however the reading ends.
struct Connection {
    const Sqlite& sqlite;
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    ~Connection() {
        if (statement) sqlite.finalize(statement);
        if (db) sqlite.close(db);
    }
};

}  // namespace

RpmHeaders readRpmHeaders(const std::string& path, std::size_t maxHeaders, std::size_t maxBytes) {
    RpmHeaders headers;
    Sqlite sqlite;
    if (!sqlite.usable()) {
        headers.problem = "the SQLite library (libsqlite3.so.0) is not installed";
        return headers;
    }
    Connection connection{sqlite};
    if (sqlite.open(path.c_str(), &connection.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite.prepare(connection.db, "SELECT blob FROM Packages", -1, &connection.statement, nullptr) != SQLITE_OK) {
        headers.problem = connection.db ? sqlite.errmsg(connection.db) : "cannot be opened";
        return headers;
    }
    std::size_t bytes = 0;
    int status = SQLITE_ROW;
    while ((status = sqlite.step(connection.statement)) == SQLITE_ROW) {
        const char* blob = static_cast<const char*>(sqlite.columnBlob(connection.statement, 0));
        const int size = sqlite.columnBytes(connection.statement, 0);
        if (headers.blobs.size() == maxHeaders) {
            headers.cut = true;
            return headers;
        }
        if (bytes + static_cast<std::size_t>(size) > maxBytes) {
            headers.problem = "its headers take more than " + std::to_string(maxBytes >> 20) +
                              " MB: the packages after that are left out";
            return headers;
        }
        bytes += static_cast<std::size_t>(size);
        headers.blobs.emplace_back(blob ? std::string(blob, static_cast<std::size_t>(size)) : std::string());
    }
    if (status != SQLITE_DONE) headers.problem = sqlite.errmsg(connection.db);
    return headers;
}

}  // namespace moravel::lx
