#include "framework/core/engine/EFEEServerNetNode.h"

void EFEEServerNetNode::EnableServerNode() {
}
