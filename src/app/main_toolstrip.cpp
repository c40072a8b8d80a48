#include "app/main_toolstrip.h"

#include <QLabel>
#include <QMainWindow>
#include <QRegularExpressionValidator>

#include "app/toolbar_icons.h"

namespace vesk {

namespace {

QToolBar* Band(QMainWindow& window, const QString& name) {
  auto* bar = new QToolBar(name, &window);
  bar->setObjectName(name);
  bar->setMovable(false);
  bar->setIconSize(QSize(22, 22));
  window.addToolBar(Qt::TopToolBarArea, bar);
  return bar;
}

QAction* Button(QToolBar* bar, IconKind icon, const QString& hint) {
  QAction* a = bar->addAction(MakeIcon(icon), hint);
  a->setToolTip(hint);
  return a;
}

}  // namespace

MainToolStrip::MainToolStrip(QMainWindow& window) {
  windowBar = Band(window, "windowToolbar");
  windowBar->addSeparator();
  showMemory = Button(windowBar, IconKind::Memory, "Память");
  showTrace = Button(windowBar, IconKind::Trace, "Трассировка");
  showProcessor = Button(windowBar, IconKind::Processor, "Процессор");
  breakpoints = Button(windowBar, IconKind::Breakpoints, "Точки останова");
  showMicroMemory = Button(windowBar, IconKind::MicroMemory, "Память микрокоманд");
  showMicroTrace = Button(windowBar, IconKind::MicroTrace, "Трассировка микропрограммы");
  showControllers = Button(windowBar, IconKind::Controllers, "Контроллеры внешних устройств");
  windowBar->addSeparator();
  minimize = Button(windowBar, IconKind::Minimize, "Свернуть");
  windowBar->addSeparator();

  runBar = Band(window, "runToolbar");
  runBar->addSeparator();
  start = Button(runBar, IconKind::Start, "Пуск (F5)");
  stop = Button(runBar, IconKind::Stop, "Стоп (F6)");
  runBar->addSeparator();
  step = Button(runBar, IconKind::Step, "Выполнить следующую команду (F8)");
  resume = Button(runBar, IconKind::Continue, "Продолжить выполнение (F7)");
  runBar->addSeparator();
  fastStart = Button(runBar, IconKind::FastStart, "Быстрый пуск (Ctrl+F5)");
  fastResume = Button(runBar, IconKind::FastContinue, "Быстро продолжить (Ctrl+F7)");
  runBar->addSeparator();
  stepBack = Button(runBar, IconKind::StepBack, "Шаг назад (Shift+F8)");
  backToBreakpoint = Button(runBar, IconKind::BackToBreakpoint, "Назад до точки останова (Shift+F7)");
  runBar->addSeparator();

  interruptBar = Band(window, "interruptToolbar");
  interruptBar->addSeparator();
  interrupt = Button(interruptBar, IconKind::Interrupt, "Прерывание!");
  interrupt->setCheckable(true);
  interruptBar->addSeparator();

  progressBand = Band(window, "progressBand");
  progress = new QProgressBar(progressBand);
  progress->setRange(0, 5);
  progress->setValue(0);
  progress->setTextVisible(false);
  progress->setFixedWidth(120);
  progressBand->addWidget(progress);

  window.addToolBarBreak(Qt::TopToolBarArea);

  startBand = Band(window, "startBand");
  startBand->addWidget(new QLabel("Адрес первой команды : ", startBand));
  startAddress = new QLineEdit("000", startBand);
  startAddress->setObjectName("startAddress");
  startAddress->setMaxLength(3);
  startAddress->setFixedWidth(52);
  startAddress->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{0,3}"), startAddress));
  startAddress->setToolTip("Адрес 000–7FF, шестнадцатеричный");
  startBand->addWidget(startAddress);

  periodsBand = Band(window, "periodsBand");
  periodsBand->addWidget(new QLabel("Периоды цикла микрокоманды : ", periodsBand));
  for (std::size_t i = 0; i < periods.size(); ++i) {
    periods[i] = new QLineEdit(periodsBand);
    periods[i]->setObjectName(QString("period%1").arg(i + 1));
    periods[i]->setFixedWidth(56);
    periods[i]->setToolTip(QString("Период %1, в тактах таймера (мс)").arg(i + 1));
    periodsBand->addWidget(periods[i]);
  }
  apply = new QPushButton("Прменить", periodsBand);
  apply->setObjectName("applyPeriods");
  periodsBand->addWidget(apply);
}

}  // namespace vesk
