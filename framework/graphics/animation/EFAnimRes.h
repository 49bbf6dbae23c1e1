/*
===============================================================================

	Animation resource ("EF_ANIM_RES", class 73): the loaded animation
	data block the animation nodes of every object share.

	The stored form is the resource id, a second word (the users the
	resource factory hands it to), then the block: its total size in the
	first word, the rest after it. The block is allocated whole with
	MMVMalloc and its stored offsets checked against its size; a size
	below the header, a failed allocation or offsets that leave the block
	give -5 with nothing kept and nothing registered. The text form names
	a file (at most 2048 characters) holding the block.

	The block stays big-endian: readers go through the byte-order
	accessors.

===============================================================================
*/
#ifndef EF_ANIM_RES_H
#define EF_ANIM_RES_H

#include "framework/core/level/EFRessource.h"

constexpr s32 EF_ANIM_RES_CLASS_ID		= 73;
// Longest file name of the text form.
constexpr s32 EF_ANIM_RES_NAME_MAX		= 2048;
// Result of a block that cannot be loaded.
constexpr s32 EF_ANIM_RES_BAD_BLOCK		= -5;

class EFAnimRes : public EFRessource {
public:
							EFAnimRes();
	// Frees the block.
	virtual					~EFAnimRes();

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	// True once the resource factory holds the resource.
	bool					IsOwnedElsewhere() const override;

	// Reads the block; 0, or -5 (nothing kept).
	s32						LoadAnim( DTBasePersistStream & stream );
	// Everything after the two words, from the level's stream or the text
	// form's file: the block here, more in derived resources.
	virtual s32				LoadBody( DTBasePersistStream & stream );

	// The resource behind an animation node's pointer: a class-73 or
	// derived resource, else null.
	static const EFAnimRes *	From( const EFRessource * ressource );
	// The block's size (its first word), 0 without a block.
	u32						GetAnimDataSize() const;

	u32						muiId;
	u32						muiUsers;
	u8 *					mpAnimData;

protected:
	// Registers the loaded resource under its id.
	void					Register();

	bool					mbRegistered;
};

#endif
