/*
	Classes of the registry tests that register themselves from their
	files' static initialisers, the way every loadable class does.
*/
#ifndef REGISTERED_TEST_CLASSES_H
#define REGISTERED_TEST_CLASSES_H

#include "datatypes/base/DTTypes.h"

// Registered in RegisteredTestClasses.cpp as a loadable object.
class TestLoadable {
public:
	static void *	Instanciate();
	static int		constructed;

	u32				mui32Marker;

					TestLoadable() : mui32Marker( 0x1234 ) { constructed++; }
};

// Registered in the same file as an animation node.
class TestAnimNode {
public:
	static void *	Instanciate();
	static int		constructed;

					TestAnimNode() { constructed++; }
};

// Registered in the test file itself, whose initialiser may run before or
// after the other file's.
class TestSecondFile {
public:
	static void *	Instanciate();
};

// Class ids of the test classes, far from those of the engine's classes.
constexpr s32 TEST_LOADABLE_ID	= 1001;
constexpr s32 TEST_ANIM_NODE_ID	= 1002;
constexpr s32 TEST_SECOND_ID	= 1003;

extern s32 TestLoadable_trigger;
extern s32 TestAnimNode_trigger;
extern s32 TestSecondFile_trigger;

#endif
