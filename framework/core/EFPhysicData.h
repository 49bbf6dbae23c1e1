/*
===============================================================================

	A positioned instance with a physics body. The body (mpoPhysic, null
	at construction) is made and destroyed by the physics manager, which
	clears mpoPhysic when it destroys the body.

	Only the body pointer exists so far; the instance hierarchy it belongs
	to comes with the instance classes.

===============================================================================
*/
#ifndef EF_PHYSIC_DATA_H
#define EF_PHYSIC_DATA_H

class EFPhysic;

class EFPhysicData {
public:
							EFPhysicData();
	virtual					~EFPhysicData();

							EFPhysicData( const EFPhysicData & ) = delete;
	EFPhysicData &			operator=( const EFPhysicData & ) = delete;

	EFPhysic *				mpoPhysic;
};

#endif
