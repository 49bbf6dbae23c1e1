/*
===============================================================================

	The level's static 3D object ("STATIC_3D_OBJECT_INST", class 24): the
	library world of the level with its sectors, and the level's static
	lights, which the world manager draws in the static world's camera
	pass. Once loaded it is the world manager's static object (owned
	there).

	Its stream, little-endian library chunks: a world chunk, a light
	count, that many light chunks each followed by four vectors of three
	reals (the light frame's right, up, at and position), and a 32-bit
	value kept as it is. Its id is forced into the static range.

	Static lights are made in the light manager with the ids
	0x12800000 + index; spot lights become soft spots with ten times the
	stored radius, colours are capped at 1.0. A record without a light
	chunk still uses its id; a light that does not read ends the list.

	Terminate takes down what is in the world: the lights this object
	made go through the light manager (which owns them), lights the
	manager holds for others only leave the world, any other light is
	destroyed with its frame; clumps leave the world (their 3D objects own
	them); then the world is destroyed.

===============================================================================
*/
#ifndef EF_STATIC_3D_OBJ_H
#define EF_STATIC_3D_OBJ_H

#include "framework/core/world/EFInstance.h"

struct RpWorld;
struct RwStream;

constexpr s32 EF_STATIC_3D_OBJ_CLASS_ID = 24;
// Kind of the static object's id, and of its lights' ids.
constexpr u32 EF_STATIC_3D_OBJ_ID_BASE		= 0x18000000;
constexpr u32 EF_STATIC_LIGHT_ID_BASE		= 0x12800000;
// Characters of the text form's file name.
constexpr s32 EF_STATIC_3D_OBJ_NAME_MAX		= 2048;

class EFStatic3dObj : public EFInstance {
public:
							EFStatic3dObj();
	// Terminate.
	virtual					~EFStatic3dObj();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// True once the world manager holds it.
	bool					IsOwnedElsewhere() const override;

	// Id, an unused word, then the world stream through the bridge; the
	// object becomes the world's static object.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// Id, an unused word and the name of a file holding the world stream.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;

	// The world, its lights and the trailing value; 0, or -2 without a
	// world chunk or a readable world.
	s32						LoadStatic3dObjFromStream( RwStream * stream );
	// The static lights; 1 when every light was read.
	u32						ReadLights( RwStream * stream );
	void					Terminate() override;

	RpWorld *				GetWorld() const { return mpWorld; }
	// Keeps world as the object's own.
	void					SetWorld( RpWorld * world ) { mpWorld = world; }
	u32						GetTrailer() const { return mui32Trailer; }

	RpWorld *				mpWorld;
	u32						mui32Reserved;
	u32						mui32Trailer;

private:
	// Lights made by ReadLights: ids EF_STATIC_LIGHT_ID_BASE + [0, count).
	u32						mui32LightCount;
	bool					mbRegistered;

	void					Register();
	bool					MadeLight( u32 id ) const;
};

#endif
