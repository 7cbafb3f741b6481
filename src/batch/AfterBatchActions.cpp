#include "batch/AfterBatchActions.h"

#include "batch/PowerOff.h"
#include "batch/ProgressWindow.h"
#include "ui/OpenOutputFolder.h"

namespace {

class OpenFolderAfterBatch : public AfterBatchAction {
 public:
  explicit OpenFolderAfterBatch(WindowContext context) : context_(std::move(context)) {}
  bool Wanted(const TfrmProgress& progress) const override { return progress.OpenFolderAfterConversion(); }
  void Run() override { OpenOutputFolder(context_.settings()); }

 private:
  WindowContext context_;
};

class PowerOffAfterBatch : public AfterBatchAction {
 public:
  explicit PowerOffAfterBatch(QWidget* window) : window_(window) {}
  bool Wanted(const TfrmProgress& progress) const override { return progress.ShutDownAfterConversion(); }
  void Run() override { ShutDownComputer(window_); }

 private:
  QWidget* window_;
};

}  // namespace

std::vector<std::unique_ptr<AfterBatchAction>> StandardAfterBatchActions(const WindowContext& context) {
  std::vector<std::unique_ptr<AfterBatchAction>> actions;
  actions.push_back(std::make_unique<OpenFolderAfterBatch>(context));
  actions.push_back(std::make_unique<PowerOffAfterBatch>(context.window));
  return actions;
}
