// Receives progress values of long converter operations.
#ifndef PORTVANE_CPROGRESSIF_H
#define PORTVANE_CPROGRESSIF_H

class CProgressIF {
public:
    virtual ~CProgressIF() {}
    virtual void SetProgress(float value) = 0;
    virtual float GetProgress() = 0;
};

#endif
