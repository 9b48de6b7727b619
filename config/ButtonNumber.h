// The button number of the command line, as the configuration service client reads it from the
// application object without knowing its class.
#pragma once

class CButtonNumberSource
{
public:
    virtual int GetButton() const = 0;

protected:
    ~CButtonNumberSource() = default;
};

// The current application's number; 201 when it has none.
int AfxGetAppButton();
