#include "batch/LineEngine.h"

#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "batch/FileFormat.h"
#include "batch/SplitFields.h"

namespace {

// Lines of one block, converted apart from the others.
struct LineBlock {
    std::string input;  // whole lines with their LF; the last block may end without one
    std::string output;
    bool first = false;  // the first block of the stream
    StreamResult found;  // lines and findings; line numbers counted from the block's start
    std::size_t restOffset = 0;  // where the bytes after that empty line start
    bool done = false;
};

// The DOS end-of-file byte, dropped when it ends the input.
constexpr char kEndOfFile = '\x1A';

// Counts a line numbered `number` and lists it among the first ones.
void CountLine(std::uint64_t& count, std::vector<std::uint64_t>& listed, std::uint64_t number) {
    if (listed.size() < StreamResult::kListedLines) listed.push_back(number);
    ++count;
}

// Adds the findings of a line (LineEngine::ConvertLine) numbered `number`.
void NoteLine(StreamResult& r, unsigned findings, std::uint64_t number) {
    if (findings & LineEngine::kTextAfterLastSeparator) r.textAfterLastSeparator = true;
    if (findings & LineEngine::kHeaderLine) r.headerLine = true;
    if (findings & LineEngine::kNotNumbers) {
        CountLine(r.nonNumberLines, r.nonNumberLineNumbers, number);
    }
    if (findings & LineEngine::kNotFinite) {
        CountLine(r.unrepresentableLines, r.unrepresentableLineNumbers, number);
    }
    if (findings & LineEngine::kOutsideGeoid) {
        CountLine(r.outsideGeoidLines, r.outsideGeoidLineNumbers, number);
    }
    if (findings & LineEngine::kExtrapolated) {
        CountLine(r.extrapolatedLines, r.extrapolatedLineNumbers, number);
    }
}

// Adds the listed line numbers of a block whose first line follows `before` lines.
void AddListed(std::vector<std::uint64_t>& listed, const std::vector<std::uint64_t>& block,
               std::uint64_t before) {
    for (std::uint64_t number : block) {
        if (listed.size() < StreamResult::kListedLines) listed.push_back(before + number);
    }
}

// Adds the lines and findings of the next block to those of the blocks before.
void AddBlock(StreamResult& r, const StreamResult& block) {
    for (std::uint64_t number : block.nonNumberLineNumbers) {
        if (r.nonNumberLineNumbers.size() < StreamResult::kListedLines) {
            r.nonNumberLineNumbers.push_back(r.lines + number);
        }
    }
    for (std::uint64_t number : block.unrepresentableLineNumbers) {
        if (r.unrepresentableLineNumbers.size() < StreamResult::kListedLines) {
            r.unrepresentableLineNumbers.push_back(r.lines + number);
        }
    }
    AddListed(r.outsideGeoidLineNumbers, block.outsideGeoidLineNumbers, r.lines);
    AddListed(r.extrapolatedLineNumbers, block.extrapolatedLineNumbers, r.lines);
    r.nonNumberLines += block.nonNumberLines;
    r.unrepresentableLines += block.unrepresentableLines;
    r.outsideGeoidLines += block.outsideGeoidLines;
    r.extrapolatedLines += block.extrapolatedLines;
    if (block.longLine != 0) r.longLine = r.lines + block.longLine;
    r.outOfMemory = r.outOfMemory || block.outOfMemory;
    r.lines += block.lines;
    r.headerLine = r.headerLine || block.headerLine;
    r.textAfterLastSeparator = r.textAfterLastSeparator || block.textAfterLastSeparator;
}

bool OnlyLineEnds(std::string_view bytes) {
    for (char c : bytes) {
        if (c != '\r' && c != '\n') return false;
    }
    return true;
}

// Cuts a stream into blocks of whole lines, with LineReader's rules at the
// end: a last line without LF belongs to the last block, except after a read
// error, where the unfinished line is dropped. Each byte is searched for a
// line end once, so that a long line costs time in proportion to its length;
// a line that grows beyond `lineLimit` ends the input there (LineTooLong).
class BlockReader {
public:
    BlockReader(std::FILE* in, std::size_t blockBytes, std::size_t lineLimit)
        : m_in(in), m_blockBytes(blockBytes), m_lineLimit(lineLimit) {}

    // The next block into *block; false when the input has no more bytes.
    bool Next(std::string* block) {
        block->clear();
        block->swap(m_carry);
        for (;;) {
            if (m_eof) return !block->empty();
            const std::size_t old = block->size();
            block->resize(old + m_blockBytes);
            errno = 0;
            const std::size_t got = std::fread(block->data() + old, 1, m_blockBytes, m_in);
            block->resize(old + got);
            if (got < m_blockBytes) {
                m_eof = true;
                if (std::ferror(m_in)) {
                    m_failed = true;
                    m_errno = errno != 0 ? errno : EIO;
                }
            }
            // The bytes before `old` hold no line end: the carry never does,
            // and a read that brought none goes on here.
            std::size_t lf = std::string_view(block->data() + old, got).rfind('\n');
            if (lf != std::string::npos) lf += old;
            const bool lfInNewBytes = lf != std::string::npos;
            if (!lfInNewBytes && block->size() > m_lineLimit && block->size() - m_lineLimit > 1) {
                // One unfinished line, longer than any line may be.
                m_tooLong = true;
                m_eof = true;
                m_carry.clear();
                block->clear();
                return false;
            }
            if (m_eof) {
                if (m_failed) {
                    block->resize(lf == std::string::npos ? 0 : lf + 1);
                } else if (!block->empty() && block->back() == kEndOfFile) {
                    block->pop_back();
                    m_dropped = 1;
                }
                return !block->empty();
            }
            if (lfInNewBytes) {
                m_carry.assign(*block, lf + 1, std::string::npos);
                block->resize(lf + 1);
                return true;
            }
        }
    }

    // Reads on and tells whether any byte other than CR or LF is left.
    bool RestHasContent() {
        std::string block;
        while (Next(&block)) {
            if (!OnlyLineEnds(block)) return true;
        }
        return false;
    }

    bool AtEnd() const { return m_eof && m_carry.empty(); }
    bool LineTooLong() const { return m_tooLong; }
    // Bytes of the input in no block: the 0x1A that ends it.
    std::size_t Dropped() const { return m_dropped; }
    bool Failed() const { return m_failed; }
    int ErrorNumber() const { return m_errno; }

private:
    std::FILE* m_in;
    std::size_t m_blockBytes;  // a block holds whole lines, so a longer line makes it longer
    std::size_t m_lineLimit;
    std::string m_carry;
    bool m_tooLong = false;
    bool m_eof = false;
    bool m_failed = false;
    int m_errno = 0;
    std::size_t m_dropped = 0;
};

// Convert's loop over the lines of one block. The lines go through `writer`
// into `collected`, which then changes places with the block's output, so
// buffers pass from block to block instead of being allocated anew. A line
// longer than the limit, or memory running out, ends the block.
void ConvertLines(LineEngine& engine, LineWriter& writer, LineBlock& block);

void ConvertBlock(LineEngine& engine, LineWriter& writer, std::string& collected,
                  LineBlock& block) {
    try {
        ConvertLines(engine, writer, block);
        writer.Flush();
        block.output.swap(collected);
    } catch (const std::bad_alloc&) {
        block.found.outOfMemory = true;
        block.output.clear();
    }
    collected.clear();
}

void ConvertLines(LineEngine& engine, LineWriter& writer, LineBlock& block) {
    const char* base = block.input.data();
    const std::size_t size = block.input.size();
    StreamResult& found = block.found;
    std::size_t pos = 0;
    while (pos < size) {
        const void* lf = std::memchr(base + pos, '\n', size - pos);
        std::string_view line;
        if (lf != nullptr) {
            const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(lf) - base);
            std::size_t length = stop - pos;
            if (length > 0 && base[stop - 1] == '\r') --length;
            line = std::string_view(base + pos, length);
            pos = stop + 1;
        } else {
            line = std::string_view(base + pos, size - pos);
            pos = size;
        }
        if (line.empty()) {
            found.stoppedAtEmptyLine = true;
            block.restOffset = pos;
            break;
        }
        if (line.size() > engine.LineLimit()) {
            found.longLine = found.lines + 1;
            break;
        }
        const unsigned findings = engine.ConvertLine(line, writer, block.first && found.lines == 0);
        ++found.lines;
        if (findings != 0) NoteLine(found, findings, found.lines);
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// After blanks and a sign, a digit or a point and a digit: the text could
// be the start of a number or an angle.
bool StartsWithNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// Blanks, tabs and carriage returns left after the last separator carry no data.
bool HoldsText(std::string_view rest) {
    for (char c : rest) {
        if (c != ' ' && c != '\t' && c != '\r') return true;
    }
    return false;
}

}  // namespace

LineEngine::LineEngine(const ConversionSession& session)
    : m_session(session), m_separator(SeparatorChar(session.m_format.m_formatSeparator)) {
    ApplyEqualDatumRule(m_session);
    for (int k = 0; k < 3; ++k) {
        m_column[k] = session.m_format.m_column[k];
        if (m_column[k] >= 0) m_named |= 1u << k;
    }
    m_fields.reserve(32);
}

unsigned LineEngine::ConvertLine(std::string_view line, LineWriter& writer, bool first) {
    const std::size_t consumed = SplitFields(line, m_separator, &m_fields);
    const std::size_t count = m_fields.size();
    std::string_view coordinates[3];  // a field the line lacks is empty
    for (int k = 0; k < 3; ++k) {
        const int c = m_column[k];
        if (c >= 0 && static_cast<std::size_t>(c) < count) {
            coordinates[k] = m_fields[static_cast<std::size_t>(c)];
        }
    }
    if (first && IsHeader(coordinates)) {
        writer.Append(line);
        writer.Append(std::string_view("\r\n", 2));
        return kHeaderLine;
    }
    double values[3];
    bool finite = true;
    PointHeight height;
    // A field the format does not name is no field of the line.
    unsigned findings = (ConvertPointTexts(m_session, coordinates, values, &finite, &height) &
                         m_named) != 0
                            ? kNotNumbers
                            : 0;
    // `finite` tells of the values read; a point outside the geoid grid has
    // a height that is no number, for want of its height anomaly.
    const bool outside = finite && (height.notes & kHeightOutsideGeoid) != 0;
    for (int k = 0; k < 3; ++k) finite = finite && std::isfinite(values[k]);
    if (outside) {
        // No height anomaly there, so no height: the fields stay.
        findings |= kOutsideGeoid;
        for (int k = 0; k < 3; ++k) m_resultLengths[k] = -1;
    } else if (!finite) {
        // No text of a number could stand for the result: the fields stay.
        findings |= kNotFinite;
        for (int k = 0; k < 3; ++k) m_resultLengths[k] = -1;
    } else {
        if (height.notes & kHeightExtrapolated) findings |= kExtrapolated;
        for (int k = 0; k < 3; ++k) {
            m_resultLengths[k] = FormatPointResult(m_session, k, values[k], m_results[k]);
        }
    }
    for (std::size_t j = 0; j < count; ++j) {
        const int jj = static_cast<int>(j);
        int slot = -1;
        if (jj == m_column[0]) {
            slot = 0;
        } else if (jj == m_column[1]) {
            slot = 1;
        } else if (jj == m_column[2]) {
            slot = 2;
        }
        if (slot >= 0 && m_resultLengths[slot] >= 0) {
            writer.Append(
                std::string_view(m_results[slot], static_cast<std::size_t>(m_resultLengths[slot])));
        } else {
            writer.Append(m_fields[j]);
        }
        writer.Append(m_separator);
    }
    writer.Append(std::string_view("\r\n", 2));
    if (HoldsText(line.substr(consumed))) findings |= kTextAfterLastSeparator;
    return findings;
}

bool LineEngine::IsHeader(const std::string_view coordinates[3]) const {
    bool named = false;
    for (int k = 0; k < 3; ++k) {
        if (m_column[k] < 0) continue;
        if (StartsWithNumber(coordinates[k])) return false;
        named = true;
    }
    return named;
}

StreamResult LineEngine::Convert(std::FILE* in, std::FILE* out, const StreamControl& control) {
    LineWriter writer(out);
    return ConvertTo(in, writer, control);
}

StreamResult LineEngine::Convert(std::FILE* in, CFile& out, const StreamControl& control) {
    LineWriter writer(&out);
    return ConvertTo(in, writer, control);
}

StreamResult LineEngine::ConvertTo(std::FILE* in, LineWriter& writer,
                                   const StreamControl& control) {
    if (m_threads > 1) return ConvertInBlocks(in, writer, control);
    StreamResult result;
    LineReader reader(in, m_readBytes);
    reader.SetLineLimit(m_lineLimit);
    try {
        std::string_view line;
        while (reader.Next(&line)) {
            if (line.empty()) {
                result.stoppedAtEmptyLine = true;
                result.dataAfterEmptyLine = reader.RestHasContent();
                break;
            }
            if (line.size() > m_lineLimit) {
                result.longLine = result.lines + 1;
                break;
            }
            const unsigned findings = ConvertLine(line, writer, result.lines == 0);
            ++result.lines;
            if (findings != 0) NoteLine(result, findings, result.lines);
            if (writer.Failed()) break;
            if (result.lines % kProgressLines == 0) {
                if (control.progress) control.progress({reader.BytesConsumed(), result.lines});
                if (control.Cancelled()) {
                    result.cancelled = true;
                    break;
                }
            }
        }
        if (reader.LineTooLong()) result.longLine = result.lines + 1;
    } catch (const std::bad_alloc&) {
        result.outOfMemory = true;
    }
    Finish(result, writer, reader.BytesConsumed(), reader.Failed(), reader.ErrorNumber(), control);
    return result;
}

void LineEngine::Finish(StreamResult& result, LineWriter& writer, std::uint64_t bytes,
                        bool readFailed, int readError, const StreamControl& control) {
    writer.Flush();
    if (control.progress) control.progress({bytes, result.lines});
    result.readFailed = readFailed;
    result.writeFailed = writer.Failed();
    if (result.writeFailed) {
        result.errorNumber = writer.ErrorNumber();
    } else if (result.readFailed) {
        result.errorNumber = readError;
    } else if (result.outOfMemory) {
        result.errorNumber = ENOMEM;
    }
}

StreamResult LineEngine::ConvertInBlocks(std::FILE* in, LineWriter& writer,
                                         const StreamControl& control) {
    StreamResult result;
    BlockReader reader(in, m_readBytes, m_lineLimit);
    std::uint64_t consumed = 0;

    std::mutex mutex;
    std::condition_variable workReady, blockDone;
    std::deque<LineBlock*> unclaimed;
    bool quit = false;
    std::vector<std::thread> workers;
    auto work = [&](LineEngine engine) {
        std::string collected;
        LineWriter blockWriter(&collected);
        for (;;) {
            LineBlock* block;
            {
                std::unique_lock lock(mutex);
                workReady.wait(lock, [&] { return quit || !unclaimed.empty(); });
                if (unclaimed.empty()) return;
                block = unclaimed.front();
                unclaimed.pop_front();
            }
            ConvertBlock(engine, blockWriter, collected, *block);
            {
                std::lock_guard lock(mutex);
                block->done = true;
            }
            blockDone.notify_all();
        }
    };

    const std::size_t maxInFlight = static_cast<std::size_t>(m_threads) + 2;
    std::deque<std::unique_ptr<LineBlock>> inFlight;
    std::vector<std::unique_ptr<LineBlock>> spare;  // written blocks, kept for their buffers
    bool more = true;
    bool firstBlock = true;
    auto readAhead = [&] {
        while (more && inFlight.size() < maxInFlight) {
            std::unique_ptr<LineBlock> block;
            if (spare.empty()) {
                block = std::make_unique<LineBlock>();
            } else {
                block = std::move(spare.back());
                spare.pop_back();
                block->output.clear();
                block->found = StreamResult();
                block->restOffset = 0;
                block->done = false;
            }
            if (!reader.Next(&block->input)) {
                more = false;
                break;
            }
            block->first = firstBlock;
            firstBlock = false;
            if (workers.empty() && inFlight.empty() && reader.AtEnd()) {
                // The whole input in one block: no threads for it.
                std::string collected;
                LineWriter blockWriter(&collected);
                ConvertBlock(*this, blockWriter, collected, *block);
                block->done = true;
            } else {
                if (workers.empty()) {
                    for (int t = 0; t < m_threads; ++t) {
                        LineEngine copy(*this);
                        copy.m_threads = 1;
                        workers.emplace_back(work, std::move(copy));
                    }
                }
                {
                    std::lock_guard lock(mutex);
                    unclaimed.push_back(block.get());
                }
                workReady.notify_one();
            }
            inFlight.push_back(std::move(block));
        }
    };

    try {
        for (;;) {
            readAhead();
            if (inFlight.empty()) {
                consumed += reader.Dropped();
                if (reader.LineTooLong()) result.longLine = result.lines + 1;
                break;
            }
            LineBlock& block = *inFlight.front();
            {
                std::unique_lock lock(mutex);
                blockDone.wait(lock, [&] { return block.done; });
            }
            writer.Append(block.output);
            AddBlock(result, block.found);
            if (block.found.outOfMemory || block.found.longLine != 0) break;
            if (block.found.stoppedAtEmptyLine) {
                consumed += block.restOffset;
                result.stoppedAtEmptyLine = true;
                bool content =
                    !OnlyLineEnds(std::string_view(block.input).substr(block.restOffset));
                for (std::size_t i = 1; !content && i < inFlight.size(); ++i) {
                    content = !OnlyLineEnds(inFlight[i]->input);
                }
                result.dataAfterEmptyLine = content || reader.RestHasContent();
                break;
            }
            consumed += block.input.size();
            if (writer.Failed()) break;
            spare.push_back(std::move(inFlight.front()));
            inFlight.pop_front();
            if (control.progress) control.progress({consumed, result.lines});
            if (control.Cancelled()) {
                result.cancelled = true;
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        result.outOfMemory = true;
    }

    {
        std::lock_guard lock(mutex);
        quit = true;
        unclaimed.clear();
    }
    workReady.notify_all();
    for (std::thread& t : workers) t.join();
    Finish(result, writer, consumed, reader.Failed(), reader.ErrorNumber(), control);
    return result;
}
