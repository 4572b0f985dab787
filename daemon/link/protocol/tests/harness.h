// A protocol object on a scripted port, with its progress values and trace.
#ifndef PORTVANE_TESTS_HARNESS_H
#define PORTVANE_TESTS_HARNESS_H

#include <functional>
#include <vector>

#include <QStringList>

#include "fakeserial.h"
#include "protocol/ccommprotocol.h"
#include "protocol/cprogressif.h"

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

struct Harness {
    Harness() : _protocol(&_port, &_progress)
    {
        QObject::connect(&_protocol, &CCommProtocol::CommandProtocol,
                         [this](const QString& html, const QString& text) {
                             _html << html;
                             _text << text;
                         });
    }

    FakeSerial _port;
    RecordingProgress _progress;
    CCommProtocol _protocol;
    QStringList _html;
    QStringList _text;
};

#endif
