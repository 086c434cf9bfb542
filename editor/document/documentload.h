#pragma once
// Opening a document: its file read piece by piece and decoded straight to
// the edit box's UTF-8, with progress and a cancel for a large file, and a
// refusal, before anything is read, of a file the machine cannot hold.

#include "common/platform.h"
#include "common/textfile.h"
#include "editor/document/editbuffer.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>

namespace tw {

// Memory the program can still take, in bytes: what the system has free,
// or less where a limit on the process says so.
qint64 systemAvailableMemory();

struct LoadTuning {
    qsizetype pieceBytes = 1 << 20;  // read and decoded at a time
    qint64 progressFrom = 16 << 20;  // a file at least this large shows progress
    int progressAfterMs = 400;       // once reading it has taken this long
    std::function<qint64()> availableMemory = systemAvailableMemory;
};

struct LoadRequest {
    std::optional<TextEncoding> forced;  // replaces the detection
    Progress* progress = nullptr;        // none: no progress window
    LoadTuning tuning;
    // Asked once, when the bytes turn out not to look like text; false stops.
    std::function<bool()> confirmBinary;
};

struct LoadedDocument {
    bool ok = false;
    bool cancelled = false;  // the user stopped it; nothing to report
    QString error;           // Japanese, when it failed
    FileFormat format;
    bool mixedLineEnds = false;
    // TextDigest of the text read, taken on another thread.
    std::shared_future<QByteArray> digest;
    std::unique_ptr<TextLoad> load;  // commit makes it the document
};

// Reads the file into a load of the buffer; the buffer's own text is not
// touched until the caller commits.
LoadedDocument readDocument(const QString& path, EditBuffer& buffer, const LoadRequest& request);

// What reading a file of this size takes at most, in bytes, beside the
// program's own: the text in the box and its line tables.
qint64 memoryToOpen(qint64 fileBytes, double utf8PerByte);

}  // namespace tw
