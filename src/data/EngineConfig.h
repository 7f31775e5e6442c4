#pragma once

#include <QString>

// The program's own configuration for the Firebird client library and its embedded engine
// (share/firebird.conf, built into the program), so that several processes open one local
// database file at once without touching the machine's own Firebird configuration.
namespace EngineConfig {

// Prepares the engine folder under the user's cache and points the library at it through the
// FIREBIRD environment variable. Must run before the first database call of the process. A
// FIREBIRD already set is the user's choice and is kept. Returns the folder in use, empty when
// the library keeps the machine's configuration (then a local file opens for one process only).
QString Use();

} // namespace EngineConfig
