#include "traces.h"

#include "end_state.h"
#include "text/file_path.h"

namespace chengxi::trials {
namespace {

namespace fs = std::filesystem;

void observeTemporaries(const fs::path& folder, Traces& traces) {
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (temporaryKind(text::fromPath(entry->path().filename())) == TemporaryKind::Program) {
            traces.temporary = true;
            std::error_code sizeError;
            const std::uintmax_t size = entry->file_size(sizeError);
            if (!sizeError && size > traces.largestTemporary) {
                traces.largestTemporary = size;
            }
        }
    }
}

} // namespace

Traces observeTraces(const TrialFolder& folder) {
    Traces traces;
    fs::path journal = folder.database();
    journal += "-journal";
    std::error_code error;
    traces.journal = fs::exists(journal, error);
    traces.hotJournal = traces.journal && isHotJournal(journal);
    observeTemporaries(folder.program(), traces);
    observeTemporaries(folder.settings().parent_path(), traces);
    return traces;
}

bool WriteMarks::writing(const Traces& traces) const {
    return writes == Writes::Database ? traces.journal : traces.temporary;
}

bool WriteMarks::committing(const Traces& traces) const {
    return writes == Writes::Database
               ? traces.hotJournal
               : traces.temporary && wholeFileSize > 0 && traces.largestTemporary >= wholeFileSize;
}

} // namespace chengxi::trials
