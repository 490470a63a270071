#pragma once

// The transfer progress dialog as the operations use it: a progress bar and the cancel tag
// ("1" once Cancel was clicked, "0" after a reset).
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual void showModeless() = 0;
    virtual void hide() = 0;
    virtual bool isShown() const = 0;
    virtual bool cancelRequested() const = 0; // tag == "1"
    virtual void resetCancel() = 0;           // tag := "0"
};
