#include "RegisteredTestClasses.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

int TestLoadable::constructed = 0;
int TestAnimNode::constructed = 0;

DT_IMPLEMENT_DYNAMIC_CLASS( TestLoadable, "TEST_LOADABLE", TEST_LOADABLE_ID, IT_OBJECT );
DT_IMPLEMENT_DYNAMIC_CLASS( TestAnimNode, "TEST_ANIM_NODE", TEST_ANIM_NODE_ID, IT_ANIM_NODE );
