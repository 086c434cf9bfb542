#pragma once
// The outcome of an operation that can fail: ok, or the reason in Japanese,
// ready for a message box. Used instead of bare bools and QString* out
// parameters, so a failure always carries its reason to the user.

#include <QString>

#include <utility>

namespace tw {

class [[nodiscard]] Result {
public:
    Result() = default;  // success
    static Result success() { return {}; }
    static Result failure(QString reason)
    {
        Result r;
        r.m_ok = false;
        r.m_reason = std::move(reason);
        return r;
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    // Empty on success.
    const QString& reason() const { return m_reason; }

private:
    bool m_ok = true;
    QString m_reason;
};

}  // namespace tw
