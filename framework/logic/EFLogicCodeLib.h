/*
===============================================================================

	A library module: the record of class EF_LIBRARY_FILE.

	Linked like any logic module; once linked, its register entry is called
	with the root function table, and the module publishes its named
	blocks in the library bank from there. A module without a register
	entry stays loaded with a warning.

===============================================================================
*/
#ifndef EF_LOGIC_CODE_LIB_H
#define EF_LOGIC_CODE_LIB_H

#include "framework/logic/EFLogicCode.h"

constexpr s32 EF_LOGIC_CODE_LIB_CLASS_ID = 69;

class EFLogicCodeLib : public EFLogicCode {
public:
							EFLogicCodeLib();
	virtual					~EFLogicCodeLib();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// Links, then calls the register entry; the linker's result.
	s32						LoadFile( DTBasePersistStream & stream ) override;

	// Calls the register entry with APIcons.
	void					Register();
};

#endif
