#include "upcalls.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Need {
    const char* mangledName;
    bool (*installed)();
};

// Filled while the program's objects are made, before main: a local static
// is there whatever the order in which the files are initialised.
std::vector<Need>& Needs()
{
    static std::vector<Need> needs;
    return needs;
}

std::string Readable(const char* mangledName)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> plain(abi::__cxa_demangle(mangledName, nullptr, nullptr, &status),
                                                      &std::free);
    return status == 0 && plain ? std::string(plain.get()) : std::string(mangledName);
}

void SayMissing(const char* mangledName)
{
    // Not through Alert: its box may itself call through an upcall.
    std::fprintf(stderr, "tevlegend: nothing is installed for the upcall %s\n", Readable(mangledName).c_str());
}

} // namespace

namespace upcall_detail {

bool Register(const char* mangledName, bool (*installed)())
{
    Needs().push_back(Need{mangledName, installed});
    return true;
}

void Missing(const char* mangledName)
{
    SayMissing(mangledName);
    std::fflush(stderr);
    std::abort();
}

} // namespace upcall_detail

void RequireUpcalls()
{
    bool missing = false;
    for (const Need& need : Needs())
        if (!need.installed()) {
            SayMissing(need.mangledName);
            missing = true;
        }
    if (missing) {
        std::fflush(stderr);
        std::abort();
    }
}
