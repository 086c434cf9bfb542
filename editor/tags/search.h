#pragma once
// Search and replace (the dialog SearchFrm, IDM_SEARCH). A run steps forward
// through the occurrences of a search text in the whole document; at each
// occurrence it waits until the user asks for the next one or for a
// replacement. By default the search text is compared exactly, letter case
// included; SearchOptions can make it a regular expression or ignore case.
// replaceAll() replaces every occurrence in one change.
//
// The run is a state machine instead of a loop that waits: the dialog calls
// one method per button and shows what the method returns, and between two
// clicks the event loop runs freely, so nothing freezes while a run waits.
//
//   SerchGo   click -> SearchOutcome o = run.start(SerchText, ChangeText);
//   SerchNext click -> o = run.next();
//   TextChange click -> o = run.replace();
//   CloseBtn click, or the dialog closing any other way -> run.close();
//
// After each call:
//   - o.message not empty: show it in a plain message box with an OK button
//     (the only two texts are searchEnterTextsMessage() and
//     searchNotFoundMessage()); nothing in the document was changed.
//   - o.waiting: the occurrence o.selectionStart / o.selectionLength is
//     selected in the document; keep SerchNext and TextChange enabled.
//   - otherwise the run is over (ended silently after the last occurrence).
// After start() the dialog enables SerchNext and TextChange whatever the
// outcome; a change of SerchText disables SerchNext (the run keeps the texts
// it was started with). next() and replace() with no waiting run do nothing.
//
// Document changes, each one change notification (one undo snapshot), made
// as the range the step changed (the document is the working text):
//   - every next() and every replace() at a waiting occurrence writes the
//     working text (unchanged by next(), with the occurrence replaced by
//     replace()), then puts the caret at 0 before selecting the following
//     occurrence;
//   - a run that ends after at least one step writes the working text once
//     more, as SerchGo does when the run returns.
// The messages, close() and a start() that replaces a waiting run change
// nothing.

#include "editor/document/editbuffer.h"

#include <QRegularExpression>
#include <QString>

namespace tw {

class EditBuffer;

QString searchEnterTextsMessage();  // "検索・置換文字列を入力して下さい"
QString searchNotFoundMessage();    // "検索文字が見つかりませんでした"

struct SearchOptions {
    bool regularExpression = false;  // the search text is a pattern; \\1.. in the replacement are its groups
    bool caseSensitive = true;
};

// "正規表現が正しくありません。" with the reason, for a pattern that does not compile.
QString searchBadPatternMessage(const QString& reason);

struct ReplaceAllResult {
    QString text;                 // the text with every occurrence replaced
    qsizetype count = 0;          // how many were replaced
    std::vector<TextEdit> edits;  // the same as edits for EditBuffer::replaceRanges; empty when there are many
                                  // (then the whole text is the cheaper change)
    QString message;              // a bad pattern; then nothing is replaced
};

// Every occurrence, left to right, none searched again inside a replacement;
// linear in the text and the number of occurrences.
ReplaceAllResult replaceAllIn(const QString& text, const QString& find, const QString& replacement,
                              const SearchOptions& options);

// The message the dialog shows after replacing all: "N 個を置換しました。"
QString replaceAllDoneMessage(qsizetype count);

// What the user asked for at the occurrence the run waits on.
enum class SearchRequest { None, Next, Replace };

struct SearchOutcome {
    bool waiting = false;          // an occurrence is selected and the run waits for a request
    qsizetype selectionStart = 0;  // the selected occurrence (0-based), when waiting
    qsizetype selectionLength = 0;
    QString message;  // for a plain OK message box; empty when there is none
};

class SearchRun {
public:
    explicit SearchRun(EditBuffer& buffer);

    // SerchGo: a new run over the whole document with these texts, from its
    // start; a run still waiting ends first without any change. An empty
    // document or search text only reports searchEnterTextsMessage(); an
    // empty replacement is allowed (replacing deletes the occurrence).
    SearchOutcome start(const QString& find, const QString& replacement, const SearchOptions& options = {});
    // The request at the waiting occurrence: Next moves over it, Replace
    // replaces it (the replacement is never searched again). Then the run
    // goes on with the following occurrence. None, or no waiting run: nothing.
    SearchOutcome request(SearchRequest r);
    SearchOutcome next() { return request(SearchRequest::Next); }
    SearchOutcome replace() { return request(SearchRequest::Replace); }
    // The dialog closes: a waiting run ends here, the document as it is.
    void close();

    bool isWaiting() const { return m_waiting; }
    // 1-based position where the next search starts.
    qsizetype position() const { return m_from + 1; }
    // Occurrences moved over or replaced in this run.
    int handled() const { return m_handled; }
    // The document as the run holds it (written back at each step).
    const QString& workingText() const { return m_working; }
    // The waiting occurrence (0-based start), -1 when not waiting.
    qsizetype occurrence() const { return m_waiting ? m_at : -1; }

private:
    SearchOutcome findNext();
    void writeWorking(const std::vector<TextEdit>& edits);

    EditBuffer& m_buffer;
    QString m_find;
    QString m_replacement;
    SearchOptions m_options;
    QRegularExpression m_pattern;
    QRegularExpressionMatch m_match;
    qsizetype m_length = 0;  // of the waiting occurrence
    QString m_working;
    qsizetype m_from = 0;
    qsizetype m_at = -1;
    int m_handled = 0;
    bool m_waiting = false;
};

}  // namespace tw
