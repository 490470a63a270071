#pragma once

#include <functional>
#include <utility>

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

    // Told at once when Cancel is clicked (besides the tag), so that a running wait for the
    // controller can end without waiting out its time-out; the link listens here.
    void setCancelListener(std::function<void()> listener) {
        m_cancelListener = std::move(listener);
    }

  protected:
    void notifyCancelClicked() const {
        if (m_cancelListener)
            m_cancelListener();
    }

  private:
    std::function<void()> m_cancelListener;
};
