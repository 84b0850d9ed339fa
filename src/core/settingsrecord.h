#pragma once

#include "fields.h"

#include <array>

namespace telx5 {

// DeviceView over plain texts, for the command-line tool and tests. Applies
// the same on-change trimming as the window's boxes.
class SettingsRecord : public DeviceView
{
public:
    QString text(Field field) const override;
    void setText(Field field, const QString &value) override;
    bool octetBoxesEnabled() const override { return m_octetBoxesEnabled; }
    void setOctetBoxesEnabled(bool enabled) override { m_octetBoxesEnabled = enabled; }
    QString statusText() const override { return m_status; }
    void setStatusText(const QString &text) override { m_status = text; }
    void appendStatus(const QString &text) override { m_status += text; }

private:
    std::array<QString, FieldCount> m_texts{};
    bool m_octetBoxesEnabled = true;
    QString m_status;
};

} // namespace telx5
