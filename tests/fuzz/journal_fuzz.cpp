// Any bytes as the journal of a cut-off run, found by the next start: raw (first byte even), or
// (first byte odd) cut into frames with good sums, so that the records behind them are reached:
// a header of the six modules with the selection and one folder, its registry records from the
// first piece, then file and folder records. The repair must end, stay within the bytes, and
// leave no journal behind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/run_journal.h"
#include "platform/host/emulation.h"
#include "platform/win32.h"
#include "tests/fuzz/fresh_machine.h"

namespace {

const char kJournal[] = "C:\\WINDOWS\\NetQuilloSetup.nqj";

// Pieces of the input, each after a byte that gives its length.
std::string Framed(const uint8_t* data, size_t size) {
    PriorState::Buffer out;
    AppendJournalTag(out);
    size_t at = 0;
    bool first = true;
    while (at < size) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        const uint8_t* piece = data + at + 1;
        at += 1 + length;
        if (first) {
            PriorState::Buffer header;
            const DWORD numbers[2] = {kCatalogueRowCount, length > 0 ? piece[0] & 0x3Fu : 1u};
            header.Add(numbers, sizeof numbers);
            for (DWORD i = 0; i < kCatalogueRowCount; ++i) {
                if (numbers[1] & (1u << i))
                    header.AddText("C:\\Program Files\\QuilloSoft\\Module");
            }
            if (length > 1)
                header.Add(piece + 1, static_cast<DWORD>(length - 1));
            AppendJournalFrame(out, 'H', header.data, header.size);
            std::free(header.data);
            first = false;
        } else if (length > 0) {
            AppendJournalFrame(out, static_cast<char>(piece[0]), piece + 1,
                               static_cast<DWORD>(length - 1));
        }
    }
    std::string bytes(reinterpret_cast<const char*>(out.data), out.size);
    std::free(out.data);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    FreshMachine machine;
    hostemu::WriteFileBytes("C:\\Program Files\\QuilloSoft\\Module\\WebQuillo\\WebQuillo.exe",
                            "MZ");
    hostemu::WriteFileBytes("C:\\Program Files\\QuilloSoft\\Module\\WebQuillo\\WebQuillo.exe.nqkeep",
                            "MZ earlier");
    const std::string journal =
        data[0] & 1 ? Framed(data + 1, size - 1)
                    : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    hostemu::WriteFileBytes(kJournal, journal);
    {
        SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
        RepairCutOffRun(context);
    }
    std::string left;
    if (hostemu::ReadFileBytes(kJournal, left))
        std::abort(); // a journal the repair neither used nor refused
    return 0;
}
