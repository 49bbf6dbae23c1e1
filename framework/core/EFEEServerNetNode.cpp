#include "framework/core/EFEEServerNetNode.h"

void EFEEServerNetNode::EnableServerNode() {
}
