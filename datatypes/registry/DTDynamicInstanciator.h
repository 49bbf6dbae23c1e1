/*
===============================================================================

	Class registry.

	Stored data names the classes of its objects by numeric class id (and,
	in text streams, by class name). Every loadable class enters its id,
	name, factory and instance type here from its source file's static
	initialiser, so the registry is complete before main runs. The single
	registry is a function-local static, built by whichever initialiser
	reaches it first.

	The instance type says which creators may use a class: loaders of
	objects, resources and descriptors accept only type 1, the animation
	node creator only type 2.

	A name that is already registered keeps its first id; a second
	registration under that name changes nothing.

===============================================================================
*/
#ifndef DT_DYNAMIC_INSTANCIATOR_H
#define DT_DYNAMIC_INSTANCIATOR_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"

enum InstanceType_e : u32 {
	IT_NONE			= 0,	// empty entry only
	IT_OBJECT		= 1,	// objects, resources and descriptors
	IT_ANIM_NODE	= 2		// animation nodes
};

class DTDynamicInstanciator {
public:
	// Creates a default-constructed object owned by the caller.
	typedef void *			( *Factory )();

	struct TInstanceMap {
		InstanceType_e		meInstanceType;
		const char *		mpszClassName;
		s32					miClassID;
		Factory				mpfnFactory;

							TInstanceMap();
							TInstanceMap( InstanceType_e type, const char * name, s32 id, Factory factory );
	};

	// Entries the registry reserves room for at construction.
	static constexpr u32	RESERVED_ENTRIES = 93;

							DTDynamicInstanciator();
	virtual					~DTDynamicInstanciator();

							DTDynamicInstanciator( const DTDynamicInstanciator & ) = delete;
	DTDynamicInstanciator &	operator=( const DTDynamicInstanciator & ) = delete;

	// The single registry of the process, built on the first call.
	static DTDynamicInstanciator & GetInstance();

	// Registers a class and returns its id: the id already stored under name
	// when the name is known (nothing changes), else id; -1 when no room
	// could be allocated. An entry without a name can only be found by id.
	s32						RegisterDynamicClass( Factory factory, const char * name, s32 id, InstanceType_e type );

	// First entry, in registration order, with this id; null when none.
	const TInstanceMap *	GeInfoByClsID( s32 id ) const;

	// First entry with this name (case-sensitive); null for a null name or
	// when none.
	const TInstanceMap *	GeInfoByClassName( const char * name ) const;

	// Creates an object of the class registered under id, or null when the
	// id is unknown, has no factory, or its instance type is not the one the
	// caller accepts.
	void *					CreateInstance( s32 id, InstanceType_e acceptedType ) const;

	// The same by class name, for text streams.
	void *					CreateInstanceByName( const char * name, InstanceType_e acceptedType ) const;

	u32						GetCount() const { return moInstanceMaps.GetSize(); }

private:
	DTVector<TInstanceMap>	moInstanceMaps;

	static void *			Create( const TInstanceMap * entry, InstanceType_e acceptedType );
};

/*
	Registration of a loadable class, written once in its source file:

		DT_IMPLEMENT_DYNAMIC_CLASS( EFFont, "EF_FONTS", 58, IT_OBJECT )

	defines the class's static factory `void * EFFont::Instanciate()`, which
	creates a default-constructed object with operator new, and the global
	`s32 EFFont_trigger`, which holds the id the registration returned and
	whose initialiser registers the class before main. The class declares
	`static void * Instanciate();` itself. A class whose factory does
	something else (a single shared object) defines its own Instanciate and
	only the trigger:

		s32 EFCutScenePlayer_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
			&EFCutScenePlayer::Instanciate, "EF_CUTSCENE", 82, IT_OBJECT );
*/
#define DT_IMPLEMENT_DYNAMIC_CLASS( Class, name, id, type )									\
	void * Class::Instanciate() { return new Class; }										\
	s32 Class##_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(		\
		&Class::Instanciate, name, id, type )

#endif
