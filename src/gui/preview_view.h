#pragma once

#include "core/preview/preview_model.h"

#include <QImage>
#include <QOpenGLBuffer>
#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <QPoint>

#include <memory>
#include <vector>

namespace bp::gui {

// Draws a loaded model with the converter's camera into the picture's frame:
// each distinct part uploaded once and drawn instanced. The mouse is only
// passed on; what it does to the camera is decided elsewhere.
class PreviewView : public QOpenGLWidget, protected QOpenGLExtraFunctions {
    Q_OBJECT
  public:
    explicit PreviewView(QWidget* parent = nullptr);
    ~PreviewView() override;

    void setModel(std::shared_ptr<const preview::LoadedModel> model);
    // The camera, lights, floor and background to draw, the picture's size
    // (its shape is the frame's) and the last step shown.
    void setPlan(const preview::ViewPlan& plan, int pictureWidth, int pictureHeight, int lastStep);
    void clearPlan();
    // A picture shown over the frame until the next plan; a null image removes it.
    void setOverlay(const QImage& image);
    const QImage& overlay() const { return m_overlay; }

    // Whether OpenGL could be set up to draw with.
    bool drawing() const { return m_ready; }
    // The frame the picture fills, in the widget's pixels.
    QRect frame() const;
    // How many placed meshes are drawn as boxes, to keep a big model smooth.
    int boxedInstances() const { return m_boxedInstances; }
    // The time the last frame took to draw, in milliseconds.
    double lastFrameMs() const { return m_lastFrameMs; }
    // Draws the next frames to the end before returning (for timing).
    void setFinishFrames(bool finish) { m_finishFrames = finish; }
    // Whether the lights are marked where they are.
    void setLightMarkers(bool shown) {
        m_lightMarkers = shown;
        update();
    }

  signals:
    void orbitDragged(double dx, double dy, double frameHeight);
    void panDragged(double dx, double dy, double frameHeight);
    void wheelTurned(double notches);
    void fitAsked();
    void frameDrawn();

  protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    struct MeshRange {
        int firstVertex = 0, vertexCount = 0;
        int firstInstance = 0, instanceCount = 0;
        int firstTransparent = 0; // instances from here on have see-through colours
        bool fixedTransparent = false;
        int firstProxyVertex = 0; // the mesh's box, drawn instead when over the budget
        bool proxy = false;
    };
    void uploadMeshes();
    void uploadInstances();
    void drawParts(bool transparentPass);
    void drawFloorAndLights(const QMatrix4x4& viewProjection);

    std::shared_ptr<const preview::LoadedModel> m_model;
    bool m_meshesStale = false, m_instancesStale = false;
    std::optional<preview::ViewPlan> m_plan;
    int m_pictureWidth = 4, m_pictureHeight = 3, m_lastStep = 0;
    int m_shownTopColour = -1, m_shownLastStep = -1;
    QImage m_overlay;

    QOpenGLShaderProgram m_parts, m_flat;
    QOpenGLVertexArrayObject m_vao, m_flatVao;
    QOpenGLBuffer m_vertices{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer m_instances{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer m_flatPoints{QOpenGLBuffer::VertexBuffer};
    std::vector<MeshRange> m_ranges;
    bool m_ready = false;

    QPoint m_dragFrom;
    bool m_dragging = false;
    double m_lastFrameMs = 0;
    bool m_finishFrames = false;
    bool m_lightMarkers = true;
    int m_boxedInstances = 0;
};

} // namespace bp::gui
