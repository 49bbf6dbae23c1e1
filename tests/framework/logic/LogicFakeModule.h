/*
===============================================================================

	A logic module for tests whose entry points and function table are
	host functions: no image is linked. Tests give it a constructor,
	destructor and register entry of their own and fill its function
	table directly or from the constructor through the root table, as a
	module would.

	Fake states that leave by ChangeState or Break must hold no object
	with a destructor, since the jump skips it.

===============================================================================
*/
#ifndef LOGIC_FAKE_MODULE_H
#define LOGIC_FAKE_MODULE_H

#include "framework/logic/EFLogicCode.h"
#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/EFLogicStack.h"

#include <initializer_list>
#include <utility>

class LogicFakeModule : public EFLogicCode {
public:
	explicit LogicFakeModule( const u32 id = 0 ) { muiID = id; }

	void SetConstructor( const LogicConstructorFn entry ) { mpfnConstructor = entry; }
	void SetDestructor( const LogicDestructorFn entry ) { mpfnDestructor = entry; }
	void SetRegisterLib( const LogicRegisterFn entry ) { mpfnRegisterLib = entry; }

	// Stores each (index, function) pair in the function table.
	void SetFunctions( const std::initializer_list<std::pair<u32, LogicFunction>> functions ) {
		for ( const auto& entry : functions ) {
			SetFunction( entry.first, entry.second );
		}
	}
};

// The instance of the call that is running, for fake states.
inline EFLogicInstance* RunningLogicInstance() {
	return EFLogicStack::GetRunningInstance();
}

#endif
