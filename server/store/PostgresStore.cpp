#include "server/store/PostgresStore.h"

#include <pqxx/binarystring>
#include <pqxx/except>
#include <pqxx/prepared_statement>
#include <pqxx/result>

#include <cstdio>

#include "server/store/SqlStore.h"

namespace quelvane::server {
namespace {

// bytea's type in PostgreSQL's catalogue.
const pqxx::oid kByteaOid = 17;
// Connections kept open between calls: about as many as the service's threads.
const size_t kKeepIdle = 16;

const SqlDialect kPostgres{
    "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY",
    "BYTEA",
    "CAST(extract(epoch FROM clock_timestamp()) * 1000 AS BIGINT)",
    " FOR UPDATE SKIP LOCKED",
    " FOR UPDATE",
    // Held until the schema's transaction ends; the number only has to be the store's own.
    "SELECT pg_advisory_xact_lock(4751722)",
};

std::string asText(const SqlValue& value) {
    if (const auto* integer = std::get_if<int64_t>(&value))
        return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", *real);
        return text;
    }
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    static const char kHex[] = "0123456789abcdef";
    const auto& bytes = std::get<Bytes>(value);
    std::string hex = "\\x";
    hex.reserve(2 + 2 * bytes.size());
    for (uint8_t byte : bytes) {
        hex.push_back(kHex[byte >> 4]);
        hex.push_back(kHex[byte & 15]);
    }
    return hex;
}

// Runs one call into libpqxx: a conflict with another transaction is told apart, every other
// failure (a lost connection, a database shut down, a full disk) is the database unavailable.
template <typename Call>
auto guarded(Call&& call) {
    try {
        return call();
    } catch (const pqxx::unique_violation& conflict) {
        throw SqlConflict(conflict.what());
    } catch (const pqxx::serialization_failure& conflict) {
        throw SqlConflict(conflict.what());
    } catch (const pqxx::deadlock_detected& conflict) {
        throw SqlConflict(conflict.what());
    } catch (const pqxx::failure& failure) {
        throw StoreUnavailable(failure.what());
    }
}

}  // namespace

PostgresConnection::PostgresConnection(const std::string& url) {
    guarded([&] {
        connection_ = std::make_unique<pqxx::connection>(url);
        // "already exists, skipping" is no news.
        connection_->set_variable("client_min_messages", "warning");
        // The game's names are Latin-1 ("Zoë"): the database converts them to its own encoding
        // and back, where as bytes of no encoding a UTF-8 database would refuse them.
        connection_->set_client_encoding("LATIN1");
    });
}

void PostgresConnection::begin(bool) {
    guarded([&] { work_ = std::make_unique<pqxx::work>(*connection_); });
}

SqlRows PostgresConnection::exec(const std::string& sql, const SqlParams& params) {
    std::vector<std::string> texts;
    texts.reserve(params.size());
    for (const auto& value : params)
        texts.push_back(asText(value));
    const pqxx::result result =
        guarded([&] { return work_->exec_params(sql, pqxx::prepare::make_dynamic_params(texts)); });
    SqlRows rows;
    for (const auto& found : result) {
        SqlRows::Row row;
        for (const auto& field : found) {
            if (field.is_null())
                row.emplace_back();
            else if (field.type() == kByteaOid)
                row.emplace_back(pqxx::binarystring(field).str());
            else
                row.emplace_back(std::string(field.c_str(), field.size()));
        }
        rows.add(std::move(row));
    }
    return rows;
}

void PostgresConnection::commit() {
    guarded([&] { work_->commit(); });
    work_.reset();
}

void PostgresConnection::rollback() noexcept {
    // The transaction's destructor aborts it, and swallows what that finds.
    work_.reset();
}

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
    return std::make_unique<SqlStore>(
        kPostgres, [url] { return std::make_unique<PostgresConnection>(url); }, kKeepIdle);
}

}  // namespace quelvane::server
