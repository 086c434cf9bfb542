#pragma once
// What the document's text was when it was last opened or saved, for telling
// whether it has unsaved changes, without keeping a second copy of a large
// page: the buffer's change count at that moment, and a digest of the text.
// While the count is unchanged nothing has changed; otherwise the text is
// compared by digest, so undoing back to the saved text counts as unchanged.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <future>
#include <memory>
#include <optional>

namespace tw {

class EditBuffer;
class TextDigest;

class SavedMark {
public:
    // text is the buffer's current text. A large text is digested on another
    // thread; the first comparison waits for it.
    void set(const EditBuffer& buffer, const QString& text);
    // The digest is being taken elsewhere (while the text was read).
    void set(const EditBuffer& buffer, std::shared_future<QByteArray> digest);
    bool differsFrom(const EditBuffer& buffer) const;
    // The answer when it costs nothing (same change count, or another
    // length); nothing when only the digest can tell.
    std::optional<bool> differsAtOnce(const EditBuffer& buffer) const;

    // Equal to the buffer's contentDigest() for the same text.
    static QByteArray digest(const QString& text);

private:
    std::uint64_t m_revision = 0;
    qsizetype m_length = 0;
    std::shared_future<QByteArray> m_digest;
};

// A digest (as TextDigest's) of a text handed over piece by piece, taken on
// a thread of its own so that reading a large page does not wait for it.
class BackgroundDigest {
public:
    BackgroundDigest();
    // Stops taking pieces in; the thread ends by itself.
    ~BackgroundDigest();
    BackgroundDigest(const BackgroundDigest&) = delete;
    BackgroundDigest& operator=(const BackgroundDigest&) = delete;

    // The piece is shared with the thread, not copied, until it is taken
    // in: a change to the caller's copy before then makes a copy of it.
    void add(const QByteArray& piece);
    // Waits until the first count pieces have been taken in (and let go).
    void waitUntilTaken(qint64 count);
    // No more pieces: the digest, once the thread has taken them all.
    std::shared_future<QByteArray> finish();

private:
    struct State;
    std::shared_ptr<State> m;
    std::shared_future<QByteArray> m_result;
    std::unique_ptr<TextDigest> m_here;  // where no thread could be started
};

}  // namespace tw
