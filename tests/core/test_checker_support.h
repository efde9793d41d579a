#pragma once

// Running the independent checkers on files the export tests write: a
// scratch folder, the checker's output and exit status, the numbers it
// reports. Under test.sh (VELMORA_REQUIRE_CHECKERS=1) a missing checker
// fails; elsewhere it skips.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// 77: the checker's script misses its library; 127: there is no program.
#define SKIP_OR_FAIL_IF_MISSING(run, checker)                                                  \
    if ((run).status == 77 || (run).status == 127) {                                           \
        const char* required = std::getenv("VELMORA_REQUIRE_CHECKERS");                        \
        if (required && std::strcmp(required, "1") == 0)                                       \
            FAIL() << checker << " is missing: " << (run).output;                              \
        GTEST_SKIP() << checker << " is missing (tools/install-deps.sh test; test.sh): "       \
                     << (run).output;                                                          \
    }

class ScratchDir {
public:
    ScratchDir() : m_Path(::testing::TempDir() + "velmora-export-XXXXXX")
    {
        if (!mkdtemp(m_Path.data()))
            throw std::runtime_error("no scratch folder in " + ::testing::TempDir());
    }
    ~ScratchDir() { std::filesystem::remove_all(m_Path); }

    // The quoted path of the file written.
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const
    {
        std::ofstream(m_Path + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return "'" + m_Path + "/" + name + "'";
    }

private:
    std::string m_Path;
};

struct CheckerRun {
    int status = -1;
    std::string output;
};

// The checkers are programs of their own: the test run's preloads stay out.
inline CheckerRun RunChecker(const std::string& command)
{
    CheckerRun run;
    if (std::FILE* pipe = popen(("env -u LD_PRELOAD " + command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            run.output.append(buffer, n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

// The number after `label` in a report, or after a colon that follows it on
// its line (ADMesh's "Label   :  12"); NaN when absent.
inline double Reported(const std::string& output, const std::string& label)
{
    const std::size_t at = output.find(label);
    if (at == std::string::npos)
        return NAN;
    std::size_t start = at + label.size();
    const std::size_t colon = output.find(':', start);
    return std::strtod(output.c_str() + (colon < output.find('\n', start) ? colon + 1 : start), nullptr);
}

inline const std::string kScripts = std::string("'") + VELMORA_EXPORT_CHECKERS + "/";

inline CheckerRun Validate(const std::string& glb)
{
    const std::string modules = std::string("NODE_PATH='") + VELMORA_NODE_MODULES + "' ";
    return RunChecker(modules + "node " + kScripts + "validate_glb.js' " + glb);
}
