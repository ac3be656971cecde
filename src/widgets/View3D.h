#pragma once

#include <QPointF>
#include <QRectF>

// How a chart's plot box is seen: zoom in percent (100 fits the chart), rotation and elevation
// in degrees (360/360 is straight from the front), orthogonal or perspective projection, and
// the depth of the box in percent of the smaller side of the plot.
struct View3D {
    bool enabled = true;
    double zoom = 100;
    double rotation = 360;
    double elevation = 360;
    bool orthogonal = true;
    double depth = 15;
};

// Maps points of the plot box to the screen. x and y are pixels of the box's front face (y
// grows downwards), z is the distance behind it, 0 to depth pixels.
class Projection3D {
public:
    Projection3D(const View3D &view, const QRectF &front, double depthPixels);

    QPointF map(double x, double y, double z) const;
    // Whether a face with this outward normal, around the point (x, y, z), faces the viewer.
    bool facesViewer(double nx, double ny, double nz, double x, double y, double z) const;
    // Distance from the viewer after turning, for drawing far faces first.
    double distance(double x, double y, double z) const;
    double depthPixels() const { return m_depth; }

private:
    void turn(double x, double y, double z, double &tx, double &ty, double &tz) const;

    View3D m_view;
    QRectF m_front;
    double m_depth;
    QPointF m_centre;
    double m_cosRotation, m_sinRotation, m_cosElevation, m_sinElevation;
    double m_focal;
};
