#pragma once

// The small controls both station windows are built of.

#include <QFrame>
#include <QLabel>
#include <QPushButton>

// A read-only value field, right-aligned in a frame.
inline QLabel* ValueLabel(const char* name, QWidget* parent, int minimumWidth = 70) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setMinimumWidth(minimumWidth);
  label->setFrameShape(QFrame::StyledPanel);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// A push button that Return does not press by itself.
inline QPushButton* Button(const char* name, const QString& caption, QWidget* parent, int minimumHeight = 0) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  if (minimumHeight > 0) button->setMinimumHeight(minimumHeight);
  return button;
}
