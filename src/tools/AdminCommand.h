#pragma once
// kelobolt-admin's commands register themselves: each admin_*.cpp file of this folder defines its
// commands with KB_ADMIN_COMMAND and is compiled straight into the program.
#include <QStringList>
#include <QTextStream>

struct TAdminCommand {
    const char* name;
    const char* usage;    // one line: "dbf-info FILE"
    const char* summary;  // one line of what it does
    // Arguments after the command name. Output goes to out, errors (plain words) to err.
    // Answers the exit code: 0 success, 1 failure.
    int (*run)(const QStringList& args, QTextStream& out, QTextStream& err);
};

void RegisterAdminCommand(const TAdminCommand& command);

struct TAdminRegistrar {
    explicit TAdminRegistrar(const TAdminCommand& c) { RegisterAdminCommand(c); }
};

#define KB_ADMIN_CONCAT2(a, b) a##b
#define KB_ADMIN_CONCAT(a, b) KB_ADMIN_CONCAT2(a, b)
#define KB_ADMIN_COMMAND(name, usage, summary, fn) \
    static const TAdminRegistrar KB_ADMIN_CONCAT(kbAdminRegistrar_, __LINE__)(TAdminCommand{name, usage, summary, fn})
