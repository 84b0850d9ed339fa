#pragma once

#include "host.h"

namespace telx5 {

// Real message boxes and file dialogs, over the active window.
class QtDialogs final : public Dialogs
{
public:
    void message(const QString &text, const QString &title = {}) override;
    bool question(const QString &text, const QString &title = {}) override;
    QString openFileName(const FileRequest &request) override;
    QString saveFileName(const FileRequest &request) override;
};

} // namespace telx5
