/*
===============================================================================

	A logic module: the record of class EF_LOGIC_CODE and its linked code.

	LoadFile links the module image that starts at a memory stream's read
	position (the stream is not advanced) into a code block of its own.
	On this host the block is an executable mapping outside the engine
	arena and the image must be an x86-64 module built by the tools; a
	PowerPC image is checked and then refused, since its code cannot run
	here. A refused image leaves no block, entry point or undefined name
	behind.

	Only the code block is used; the other five block pointers stay null.

===============================================================================
*/
#ifndef EF_LOGIC_CODE_H
#define EF_LOGIC_CODE_H

#include "framework/logic/EFLogicCodeBC.h"

constexpr s32 EF_LOGIC_CODE_CLASS_ID = 39;

class EFLogicCode : public EFLogicCodeBC {
public:
							EFLogicCode();
	virtual					~EFLogicCode();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// Links the image; 0 on success, an EF_LINK_* code otherwise.
	s32						LoadFile( DTBasePersistStream & stream ) override;
	// Unmaps the code block, then frees what the portable half holds.
	void					Free() override;
	const char *			GetFunctionName( u32 index ) override;

	void *					GetTextPtr() const { return mTextPtr; }
	u32						GetTextBytes() const { return muiTextBytes; }

protected:
	void *					mTextPtr;
	void *					mBssPtr;
	void *					mDataPtr;
	void *					mFreeTextPtr;
	void *					mFreeBssPtr;
	void *					mFreeDataPtr;
	// Bytes of the code block, to release the mapping.
	u32						muiTextBytes;

private:
	void					ReleaseText();
};

#endif
