#pragma once

#include <QString>
#include <optional>

class Database;

// The database-information request of one connection.
class TDatabaseInfo {
  public:
    explicit TDatabaseInfo(Database* database = nullptr) : database_(database) {}
    void SetDatabase(Database* database) { database_ = database; }

    // The server's version string (the first the server reports); raises the database
    // layer's error when the request fails or the answer cannot be read.
    QString Version() const;

    static constexpr unsigned kBufferSize = 1024;
    // Reads the first version string out of an answer to the version request; nothing when
    // the answer is cut short, holds an error or is not the version item.
    static std::optional<QString> ParseVersion(const unsigned char* buffer, unsigned length);

  private:
    Database* database_;
};
