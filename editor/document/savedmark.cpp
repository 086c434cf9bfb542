#include "editor/document/savedmark.h"

#include "editor/document/editbuffer.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace tw {

QByteArray SavedMark::digest(const QString& text)
{
    TextDigest d;
    d.addText(text);
    return d.result();
}

void SavedMark::set(const EditBuffer& buffer, std::shared_future<QByteArray> digest)
{
    m_revision = buffer.revision();
    m_length = buffer.length();
    m_digest = std::move(digest);
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

struct BackgroundDigest::State {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<QByteArray> pieces;
    qint64 taken = 0;
    bool finished = false;
    bool stopped = false;
    std::promise<QByteArray> result;
};

BackgroundDigest::BackgroundDigest() : m(std::make_shared<State>())
{
    m_result = m->result.get_future().share();
    auto work = [state = m] {
        TextDigest digest;
        std::unique_lock<std::mutex> hold(state->lock);
        for (;;) {
            state->changed.wait(hold, [&] { return state->stopped || state->finished || !state->pieces.empty(); });
            if (state->stopped)
                return;
            if (state->pieces.empty()) {
                state->result.set_value(digest.result());
                return;
            }
            QByteArray piece = std::move(state->pieces.front());
            state->pieces.pop_front();
            hold.unlock();
            digest.addUtf8(piece);
            piece = QByteArray();
            hold.lock();
            ++state->taken;
            state->changed.notify_all();
        }
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the pieces are taken in as they come.
        m_here = std::make_unique<TextDigest>();
    }
}

BackgroundDigest::~BackgroundDigest()
{
    std::lock_guard<std::mutex> hold(m->lock);
    if (!m->finished) {
        m->stopped = true;
        m->pieces.clear();
    }
    m->changed.notify_all();
}

void BackgroundDigest::add(const QByteArray& piece)
{
    if (m_here) {
        m_here->addUtf8(piece);
        return;
    }
    std::lock_guard<std::mutex> hold(m->lock);
    m->pieces.push_back(piece);
    m->changed.notify_all();
}

void BackgroundDigest::waitUntilTaken(qint64 count)
{
    if (m_here)
        return;
    std::unique_lock<std::mutex> hold(m->lock);
    m->changed.wait(hold, [&] { return m->taken >= count; });
}

std::shared_future<QByteArray> BackgroundDigest::finish()
{
    if (m_here) {
        m->finished = true;
        m->result.set_value(m_here->result());
        return m_result;
    }
    std::lock_guard<std::mutex> hold(m->lock);
    m->finished = true;
    m->changed.notify_all();
    return m_result;
}

}  // namespace tw
