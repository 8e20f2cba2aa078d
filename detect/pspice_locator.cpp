#include "detect/pspice_locator.h"

// Placeholder until the Start-menu search lands: PSpice is assumed in its
// default folder.
PSpiceLocator::PSpiceLocator() {
  folder.Assign("C:\\Programme\\OrCAD_Demo\\PSpice");
  found = true;
}
