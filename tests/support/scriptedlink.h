// A protocol object on a scripted serial port, with the progress values it
// reports and the trace lines it emits.
#ifndef TOVIK_TEST_SCRIPTEDLINK_H
#define TOVIK_TEST_SCRIPTEDLINK_H

#include <functional>
#include <vector>

#include <QObject>
#include <QStringList>

#include "protocol/ccommprotocol.h"
#include "protocol/cprogressif.h"
#include "scriptedserial.h"

namespace tovik {
namespace test {

class RecordingProgress : public CProgressIF {
public:
    void SetProgress(float value) override
    {
        _values.push_back(value);
        if (_onProgress)
            _onProgress();
    }
    float GetProgress() override { return _values.empty() ? 0.0f : _values.back(); }

    std::vector<float> _values;
    std::function<void()> _onProgress;
};

struct ScriptedLink {
    ScriptedLink() : _protocol(&_port, &_progress)
    {
        QObject::connect(&_protocol, &CCommProtocol::CommandProtocol,
                         [this](const QString& html, const QString& text) {
                             _html << html;
                             _text << text;
                         });
    }

    ScriptedSerial _port;
    RecordingProgress _progress;
    CCommProtocol _protocol;
    QStringList _html;
    QStringList _text;
};

} // namespace test
} // namespace tovik

#endif
