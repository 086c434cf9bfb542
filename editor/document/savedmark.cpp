#include "editor/document/savedmark.h"

#include "editor/document/editbuffer.h"

#include <utility>

namespace tw {

QByteArray SavedMark::digest(const QString& text)
{
    TextDigest d;
    d.addText(text);
    return d.result();
}

void SavedMark::set(const EditBuffer& buffer, const QByteArray& digest)
{
    m_revision = buffer.revision();
    m_length = buffer.length();
    std::promise<QByteArray> done;
    done.set_value(digest);
    m_digest = done.get_future().share();
}

void SavedMark::set(const EditBuffer& buffer, const QString& text)
{
    m_revision = buffer.revision();
    m_length = text.size();
    constexpr qsizetype kInBackground = 1 << 20;
    if (text.size() < kInBackground) {
        std::promise<QByteArray> done;
        done.set_value(digest(text));
        m_digest = done.get_future().share();
    } else {
        // The thread holds its own reference to the text while it works and
        // lets it go when done: the task object itself lives as long as the
        // digest does, and must not keep a large page alive.
        m_digest = std::async(std::launch::async, [text = QString(text)]() mutable {
                       const QString own = std::exchange(text, QString());
                       return digest(own);
                   }).share();
    }
}

std::optional<bool> SavedMark::differsAtOnce(const EditBuffer& buffer) const
{
    if (buffer.revision() == m_revision)
        return false;
    if (!m_digest.valid() || buffer.length() != m_length)
        return true;
    return std::nullopt;
}

bool SavedMark::differsFrom(const EditBuffer& buffer) const
{
    if (buffer.revision() == m_revision)
        return false;
    if (!m_digest.valid())
        return true;
    return buffer.contentDigest() != m_digest.get();
}

}  // namespace tw
