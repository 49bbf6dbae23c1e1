/*
===============================================================================

	Morph-animation resource ("MORPH_ANIM_INST", class 19): one vertex
	morph animation, read through the 3D library's stream from the
	level's stream (or, in the text form, from a named file of at most
	2048 characters).

	An animation whose first atomic record is all zero (no vertex
	channel, no normal channel, no third block) is refused: the load
	reports -5 and the resource is registered without an animation, so
	its nodes do nothing.

===============================================================================
*/
#ifndef EF_MORPH_ANIM_RES_H
#define EF_MORPH_ANIM_RES_H

#include "framework/core/level/EFRessource.h"

struct ApMorphAnimationEx;
struct RwStream;

constexpr s32 EF_MORPH_ANIM_RES_CLASS_ID	= 19;

class EFMorphAnimRes : public EFRessource {
public:
							EFMorphAnimRes();
	// Destroys the animation.
	virtual					~EFMorphAnimRes();

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	bool					IsOwnedElsewhere() const override;

	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	// 0, or -5 without an animation.
	s32						LoadMorphAnim( RwStream * stream );

	u32						muiId;
	u32						muiUsers;
	ApMorphAnimationEx *	mpMorphAnim;

private:
	s32						LoadThrough( DTBasePersistStream & stream, const char * name );

	bool					mbRegistered;
};

#endif
