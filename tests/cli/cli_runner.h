// Runs tarnel-plexaro-cli as a separate process and captures its exit status and output.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tp::test {

struct CliResult {
    int status = -1;
    std::string output;  // stdout followed by stderr
};

inline std::string ShellQuote(const std::string& s)
{
    std::string quoted = "'";
    for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline CliResult RunCli(const std::vector<std::string>& args)
{
    std::string command = ShellQuote(TP_CLI_PATH);
    for (const std::string& a : args) {
        command += ' ';
        command += ShellQuote(a);
    }
    command += " 2>&1";
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

}  // namespace tp::test
